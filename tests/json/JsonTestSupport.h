// Helpers shared by the JSON tests: a log that records its lines, parsing
// into a document, and emission into std::string.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "foundation/containers/DataBuffer.h"
#include "foundation/object/LogBase.h"
#include "foundation/text/StringBuffer.h"
#include "json/WideText.h"
#include "json/internal/JsonEmitter.h"
#include "json/internal/JsonNodes.h"
#include "json/internal/JsonParser.h"

namespace rozazar::testing {

// Records error lines as "E:text", information lines as "I:text" and data
// lines as "D:name=value"; contexts are not recorded.
class RecordingLog : public LogBase {
 public:
  bool logError(const char* text) override {
    lines.push_back(std::string("E:") + text);
    return true;
  }
  bool logInfo(const char* text) override {
    lines.push_back(std::string("I:") + text);
    return true;
  }
  bool logData(const char* name, const char* value) override {
    lines.push_back(std::string("D:") + name + "=" + value);
    return true;
  }
  std::vector<std::string> lines;
};

struct DocDeleter {
  void operator()(_ckJsonDoc* doc) const { RozazarObject::deleteObject(doc); }
};
using DocPtr = std::unique_ptr<_ckJsonDoc, DocDeleter>;

// A document parsed in place from text (the document copies it).
inline DocPtr parseInPlace(const std::string& text) {
  DocPtr doc(_ckJsonDoc::createNew());
  DataBuffer input;
  input.appendBytes(text.data(), text.size());
  LogNull log;
  if (!parseJsonDoc(*doc, input, false, nullptr, log)) return nullptr;
  return doc;
}

// A document whose top object was filled in copy mode.
inline DocPtr parseCopy(const std::string& text) {
  DocPtr doc(_ckJsonDoc::createNew());
  if (!doc->resetTopObject()) return nullptr;
  DataBuffer input;
  input.appendBytes(text.data(), text.size());
  LogNull log;
  if (!parseJsonDoc(*doc, input, false, doc->topObject(), log)) return nullptr;
  return doc;
}

inline std::string emitText(const _ckJsonObject& object, bool compact = true, bool crLf = true,
                            bool omitEmpty = false) {
  StringBuffer out;
  EmitOptions options;
  options.compact = compact ? 1 : 0;
  options.crLf = crLf ? 1 : 0;
  options.omitEmpty = omitEmpty ? 1 : 0;
  if (!emitObject(object, out, options)) return "<failed>";
  return std::string(out.text(), out.length());
}

inline std::string compact(const std::string& text) {
  DocPtr doc = parseInPlace(text);
  return doc ? emitText(*doc->topObject()) : "<failed>";
}

inline std::basic_string<WideChar> wide(const std::string& ascii) {
  return std::basic_string<WideChar>(ascii.begin(), ascii.end());
}

inline std::string narrow(const WideChar* text) {
  std::string out;
  if (text == nullptr) return "<null>";
  for (; *text != 0; ++text) out += static_cast<char>(*text);
  return out;
}

}  // namespace rozazar::testing
