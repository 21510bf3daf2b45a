#include "testing/SubstituteText.h"

#include <windows.h>

#include <cstdio>

namespace tessel_substitute {
namespace {

bool IsHigh(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void AppendCodeEscape(std::wstring& out, wchar_t c) {
  wchar_t code[8];
  swprintf(code, 8, L"\\u%04X", static_cast<unsigned>(c));
  out += code;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size,
                      nullptr, nullptr);
  return out;
}

std::wstring FromUtf8(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size);
  return out;
}

std::string EscapeText(const std::wstring& text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'\\') {
      out += L"\\\\";
    } else if (c == L'\t') {
      out += L"\\t";
    } else if (c == L'\r') {
      out += L"\\r";
    } else if (c == L'\n') {
      out += L"\\n";
    } else if (c < 0x20 || c == 0x7F) {
      AppendCodeEscape(out, c);
    } else if (IsHigh(c) && i + 1 < text.size() && IsLow(text[i + 1])) {
      out += c;
      out += text[++i];
    } else if (IsHigh(c) || IsLow(c)) {
      AppendCodeEscape(out, c);
    } else {
      out += c;
    }
  }
  return ToUtf8(out);
}

std::wstring UnescapeText(const std::string& escaped) {
  const std::wstring text = FromUtf8(escaped);
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'\\' || i + 1 >= text.size()) {
      out += text[i];
      continue;
    }
    const wchar_t next = text[++i];
    switch (next) {
      case L't':
        out += L'\t';
        break;
      case L'r':
        out += L'\r';
        break;
      case L'n':
        out += L'\n';
        break;
      case L'\\':
        out += L'\\';
        break;
      case L'u': {
        unsigned value = 0;
        int digits = 0;
        while (digits < 4 && i + 1 < text.size() && text[i + 1] < 0x80 &&
               HexValue(static_cast<char>(text[i + 1])) >= 0) {
          value = value * 16 + static_cast<unsigned>(HexValue(static_cast<char>(text[++i])));
          ++digits;
        }
        out += static_cast<wchar_t>(value);
        break;
      }
      default:
        out += L'\\';
        out += next;
    }
  }
  return out;
}

}  // namespace tessel_substitute
