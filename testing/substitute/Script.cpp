#include "testing/substitute/Script.h"

#include <windows.h>

#include <cstdlib>

#include "testing/SubstituteText.h"

namespace tessel_substitute {
namespace {

bool ReadWholeFile(const wchar_t* path, std::string& content) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got != 0) content.append(chunk, got);
  CloseHandle(file);
  return true;
}

// Splits off the text up to the first space; `rest` gets what follows it.
std::string NextWord(const std::string& line, std::string& rest) {
  const size_t space = line.find(' ');
  if (space == std::string::npos) {
    rest.clear();
    return line;
  }
  rest = line.substr(space + 1);
  return line.substr(0, space);
}

Directive::Field ReportField(const std::string& raw) {
  Directive::Field field;
  if (raw == "<null>") {
    field.present = false;
  } else {
    field.text = UnescapeText(raw);
  }
  return field;
}

bool ParseDirective(const std::string& word, const std::string& argument, Directive& directive) {
  if (word == "callback") {
    directive.kind = Directive::Kind::Callback;
    directive.text = UnescapeText(argument);
  } else if (word == "callback-null") {
    directive.kind = Directive::Kind::Callback;
    directive.isNull = true;
  } else if (word == "report") {
    // report <flag><TAB><error><TAB><name><TAB><thumbprint>
    directive.kind = Directive::Kind::Report;
    std::string parts[4];
    size_t start = 0;
    for (int i = 0; i < 4; ++i) {
      const size_t tab = i < 3 ? argument.find('\t', start) : std::string::npos;
      parts[i] = argument.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
      if (tab == std::string::npos) {
        if (i < 3) return false;
        break;
      }
      start = tab + 1;
    }
    directive.value = std::strtoll(parts[0].c_str(), nullptr, 0);
    for (int i = 0; i < 3; ++i) directive.fields[i] = ReportField(parts[i + 1]);
  } else if (word == "buffer" || word == "fill") {
    directive.kind = word == "buffer" ? Directive::Kind::Buffer : Directive::Kind::Fill;
    std::string text;
    directive.index = std::atoi(NextWord(argument, text).c_str());
    directive.text = UnescapeText(text);
    if (directive.kind == Directive::Kind::Fill && directive.text.empty()) return false;
  } else if (word == "return") {
    directive.kind = Directive::Kind::Return;
    directive.value = std::strtoll(argument.c_str(), nullptr, 0);
  } else if (word == "box") {
    directive.kind = Directive::Kind::Box;
    directive.text = UnescapeText(argument);
  } else if (word == "fault") {
    directive.kind = Directive::Kind::Fault;
    directive.fault = argument;
  } else {
    return false;
  }
  return true;
}

}  // namespace

Script LoadScript(const char* exportName) {
  Script script;
  wchar_t path[MAX_PATH * 2];
  const DWORD length = GetEnvironmentVariableW(L"TESSEL_SUBSTITUTE_SCRIPT", path, MAX_PATH * 2);
  if (length == 0 || length >= MAX_PATH * 2) return script;
  script.active = true;

  std::string content;
  if (!ReadWholeFile(path, content)) {
    script.problems.push_back(std::wstring(L"cannot read the script ") + path);
    return script;
  }
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;

    std::string rest;
    const std::string name = NextWord(line, rest);
    if (name != exportName) continue;
    std::string argument;
    const std::string word = NextWord(rest, argument);
    Directive directive;
    if (ParseDirective(word, argument, directive)) {
      script.directives.push_back(directive);
    } else {
      script.problems.push_back(L"unknown directive: " + FromUtf8(line));
    }
  }
  return script;
}

}  // namespace tessel_substitute
