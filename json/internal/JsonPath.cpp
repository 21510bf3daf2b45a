#include "json/internal/JsonPath.h"

#include <cstring>
#include <limits>

#include "foundation/object/LogBase.h"
#include "foundation/object/RefCountedObject.h"
#include "foundation/text/StringBuffer.h"
#include "json/internal/JsonNodes.h"

namespace rozazar {

namespace {

bool isPathSpace(char c) noexcept { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

const char* skipPathSpace(const char* p) noexcept {
  while (isPathSpace(*p)) ++p;
  return p;
}

// The decimal index at p: leading blanks and tabs, an optional sign, then the
// digits up to the first other byte (none read as 0). A number beyond the
// int32 range is held at its nearest end instead of wrapping, so that a huge
// index never lands on an existing item: it lies outside every array, and
// auto-create appends.
std::int32_t decimalIndex(const char* p) noexcept {
  while (*p == ' ' || *p == '\t') ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  std::int64_t value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    if (value <= kMax) value = value * 10 + (*p - '0');
  }
  if (negative) {
    return value > kMax ? std::numeric_limits<std::int32_t>::min()
                        : static_cast<std::int32_t>(-value);
  }
  return value > kMax ? static_cast<std::int32_t>(kMax) : static_cast<std::int32_t>(value);
}

// The number an index text [from, to) stands for; -1 for none.
std::int32_t readIndex(const char* from, const char* to, const JsonPathOptions& options) noexcept {
  if (from == to) return -1;
  switch (*from) {
    case '*':
      return -1;
    case 'i':
    case 'I':
      return options.indexI;
    case 'j':
    case 'J':
      return options.indexJ;
    case 'k':
    case 'K':
      return options.indexK;
    default:
      break;
  }
  return decimalIndex(from);
}

bool isHexDigit(char c) noexcept {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The length of the valid JSON escape at p (which holds a backslash), or 0
// when the backslash starts none.
std::uint32_t escapeLength(const char* p, std::uint32_t left) noexcept {
  if (left < 2) return 0;
  switch (p[1]) {
    case '"':
    case '\\':
    case '/':
    case 'b':
    case 'f':
    case 'n':
    case 'r':
    case 't':
      return 2;
    case 'u':
      return left >= 6 && isHexDigit(p[2]) && isHexDigit(p[3]) && isHexDigit(p[4]) &&
                     isHexDigit(p[5])
                 ? 6
                 : 0;
    default:
      return 0;
  }
}

// Appends a member name from a path to out in the escaped form names are
// stored and emitted in. A name that already is a valid JSON string body is
// copied as it is; a quote, a backslash that starts no valid escape (a last
// one included) and a control byte are escaped. Emitted between quotes, a
// created name then always reads back as one name and never ends early.
bool appendWireName(const char* name, std::uint32_t length, StringBuffer& out) noexcept {
  static const char kHex[] = "0123456789ABCDEF";
  std::uint32_t i = 0;
  while (i < length) {
    const char c = name[i];
    const auto byte = static_cast<unsigned char>(c);
    bool ok = true;
    if (c == '\\') {
      const std::uint32_t escape = escapeLength(name + i, length - i);
      if (escape != 0) {
        if (!out.appendBytes(name + i, escape)) return false;
        i += escape;
        continue;
      }
      ok = out.appendTwo("\\", "\\");
    } else if (c == '"') {
      ok = out.appendTwo("\\", "\"");
    } else if (byte < 0x20) {
      // \b \t \n \f \r for their bytes, \u00XX for the others.
      static const char kLetters[] = {'b', 't', 'n', 'u', 'f', 'r'};
      const char letter = byte >= 8 && byte <= 13 ? kLetters[byte - 8] : 'u';
      ok = out.appendChar('\\') && out.appendChar(letter) &&
           (letter != 'u' || (out.appendTwo("0", "0") && out.appendChar(kHex[byte >> 4]) &&
                              out.appendChar(kHex[byte & 0x0F])));
    } else {
      ok = out.appendChar(c);
    }
    if (!ok) return false;
    ++i;
  }
  return true;
}

// Walks a path step by step, alternating between object steps and array
// steps, without recursion.
class PathWalker {
 public:
  PathWalker(const JsonPathOptions& options, LogBase& log) noexcept
      : m_options(options), m_log(log) {}

  _ckJsonBase* walk(_ckJsonBase* start, bool arrayStep, const char* path) noexcept {
    m_node = start;
    m_path = path;
    m_arrayStep = arrayStep;
    for (;;) {
      bool done = false;
      _ckJsonBase* result = m_arrayStep ? arrayStep_(done) : objectStep(done);
      if (done) return result;
    }
  }

 private:
  void syntaxError(const char* first, const char* second, const char* third, const char* name,
                   const char* path) noexcept {
    if (first != nullptr) m_log.logError(first);
    if (second != nullptr) m_log.logError(second);
    if (third != nullptr) m_log.logError(third);
    m_log.logData(name, path);
  }

  void notFound(const char* name, std::uint32_t length, const char* stepPath) noexcept {
    m_log.logError("JSON member not found.");
    StringBuffer nameText;
    nameText.appendBytes(name, length);
    m_log.logData("memberName", nameText.text());
    m_log.logData("jsonPath2", stepPath);
  }

  // Creates the missing member at the end of an object step; false (with
  // the message logged where there is one) when it can't be made.
  void createMember(_ckJsonObject* object, const char* name, std::uint32_t length,
                    const char* rest) noexcept {
    _ckJsonDoc* doc = object->document();
    if (*rest == '\0' || *rest == '[') {
      _ckJsonMember* member = nullptr;
      if (*rest == '[' || m_options.leafKind == kLeafArray) {
        member = newArrayMember(doc, name, length);
      } else if (m_options.leafKind == kLeafString) {
        member = newScalarMember(doc, name, length, "", 0, true, m_log);
      } else {
        member = newObjectMember(doc, name, length, m_log);
      }
      if (member != nullptr && !object->appendMember(member)) RozazarObject::deleteObject(member);
      return;
    }
    _ckJsonMember* member = newObjectMember(doc, name, length, m_log);
    if (member != nullptr && !object->appendMember(member)) {
      m_log.logError("Failed to append member object.");
      RozazarObject::deleteObject(member);
    }
  }

  _ckJsonBase* objectStep(bool& done) noexcept {
    done = true;
    auto* object = static_cast<_ckJsonObject*>(m_node);
    const char* p = m_path;
    if (p == nullptr) return nullptr;
    p = skipPathSpace(p);
    if (*p == '\0') return nullptr;
    if (*p == m_options.separator) {
      ++p;
      if (*p == '\0') return nullptr;
    }
    const char* stepPath = p;
    const char* name = p;
    const char* rest = nullptr;
    if (*p == '"') {
      name = ++p;
      while (*p != '\0' && *p != '"') {
        if (*p == '\\') {
          if (p[1] == '\0') {
            m_log.logError("JSON path syntax error..");
            return nullptr;
          }
          p += 2;
        } else {
          ++p;
        }
      }
      rest = *p == '"' ? p + 1 : p;
    } else {
      while (*p != '\0' && *p != m_options.separator && *p != '[' && *p != ']' && *p != '\t' &&
             *p != '\r' && *p != '\n')
        ++p;
      rest = p;
    }
    const auto length = static_cast<std::uint32_t>(p - name);

    // Names are stored escaped: a name as the path gives it is looked up
    // first, then its escaped form, which is also what a created member gets.
    int index = object->findMember(name, length);
    StringBuffer wire;
    if (index < 0) {
      if (!appendWireName(name, length, wire)) return nullptr;
      if (wire.length() != length) index = object->findMember(wire.text(), wire.length());
    }
    if (index < 0) {
      if (!m_options.autoCreate) {
        notFound(name, length, stepPath);
        return nullptr;
      }
      const bool silentCase = *rest == '\0' || *rest == '[';
      createMember(object, wire.text(), wire.length(), rest);
      index = object->findMember(wire.text(), wire.length());
      if (index < 0) {
        if (!silentCase) notFound(name, length, stepPath);
        return nullptr;
      }
    }
    _ckJsonMember* member = object->memberAt(index);
    if (member == nullptr) return nullptr;
    _ckJsonValue* value = member->value();

    if (*rest == '\0') {
      if (m_options.mode == kPathRemove) {
        if (m_log.isVerbose()) m_log.logDataInt("removingMemberAt", index);
        object->removeMemberAt(index);
        return nullptr;
      }
      if (!_ckJsonValue::isLive(value)) return nullptr;
      if (m_options.mode == kPathFind && value->isObject()) return value->object();
      return value;
    }
    if (!_ckJsonValue::isLive(value)) return nullptr;
    if (*rest == m_options.separator) {
      if (value->isObject() && value->object() != nullptr) {
        m_node = value->object();
        m_path = rest + 1;
        done = false;
        return nullptr;
      }
      syntaxError("Value expected to be an object.", "JSON path syntax error..", nullptr,
                  "jsonPath2", stepPath);
      return nullptr;
    }
    if (*rest == '[') {
      if (value->isArray()) {
        m_node = value;
        m_path = rest;
        m_arrayStep = true;
        done = false;
        return nullptr;
      }
      syntaxError("Value expected to be an array.", "JSON path syntax error..", nullptr,
                  "jsonPath2", stepPath);
      return nullptr;
    }
    syntaxError("Expected a '.' or '[' char.", "JSON path syntax error (2).", nullptr, "jsonPath2",
                stepPath);
    return nullptr;
  }

  // Appends a new item of the kind the byte after ']' asks for; null (with
  // the message logged) on failure.
  _ckJsonBase* createItem(_ckJsonValue* array, const char* after, const char* stepPath) noexcept {
    _ckJsonDoc* doc = array->document();
    const int position = array->itemCount();
    if (*after == '\0') {
      _ckJsonValue* value = doc != nullptr ? doc->newValue(true) : nullptr;
      if (value == nullptr || !array->addAt(position, value)) {
        RozazarObject::deleteObject(value);
        m_log.logError("Failed to auto-create array value. (1)");
        return nullptr;
      }
      _ckJsonBase* item = array->itemAt(position);
      if (item == nullptr) m_log.logError("Failed to auto-create array value. (2)");
      return item;
    }
    if (*after == m_options.separator) {
      _ckJsonObject* object = doc != nullptr ? doc->newObject() : nullptr;
      if (object == nullptr || !array->addAt(position, object)) {
        RozazarObject::deleteObject(object);
        m_log.logError("Failed to auto-create array object.");
        return nullptr;
      }
      _ckJsonBase* item = array->itemAt(position);
      if (item == nullptr) m_log.logError("Failed to auto-create array object. (2)");
      return item;
    }
    if (*after == '[') {
      const char* failure = nullptr;
      _ckJsonValue* sub = nullptr;
      if (!array->ensureArray()) {
        failure = "ensureArray failed.";
      } else {
        sub = doc != nullptr ? doc->newValue(false) : nullptr;
        if (sub != nullptr) sub->setArrayPayload();
        if (sub == nullptr || !sub->ensureArray()) {
          failure = "ensureArray failed..";
        } else if (!array->addAt(position, sub)) {
          failure = "addAt failed.";
        }
      }
      if (failure != nullptr) {
        RozazarObject::deleteObject(sub);
        m_log.logError(failure);
        m_log.logError("Failed to auto-create sub-array.");
        return nullptr;
      }
      _ckJsonBase* item = array->itemAt(position);
      if (item == nullptr) m_log.logError("Failed to auto-create sub-array. (2)");
      return item;
    }
    m_log.logError("invalid path during auto-create (2)");
    m_log.logData("jsonPath", stepPath);
    return nullptr;
  }

  _ckJsonBase* arrayStep_(bool& done) noexcept {
    done = true;
    auto* array = static_cast<_ckJsonValue*>(m_node);
    const char* p = m_path;
    if (p == nullptr) return nullptr;
    p = skipPathSpace(p);
    if (*p == '\0') return nullptr;
    const char* stepPath = p;
    if (!_ckJsonValue::isLive(array) || !array->isArray()) {
      m_log.logError("Not an array value");
      m_log.logData("jsonPath", stepPath);
      return nullptr;
    }
    if (array->items() == nullptr) return nullptr;
    if (*p != '[') {
      m_log.logError("JSON path syntax error: Expected an opening '[' char");
      m_log.logData("jsonPath", stepPath);
      return nullptr;
    }
    const char* close = std::strchr(p + 1, ']');
    if (close == nullptr) {
      m_log.logError("Did not find closing ']' in JSON path.");
      m_log.logData("jsonPath", stepPath);
      return nullptr;
    }
    const std::int32_t index = readIndex(p + 1, close, m_options);
    _ckJsonBase* item = index >= 0 && index < array->itemCount() ? array->itemAt(index) : nullptr;
    const char* after = skipPathSpace(close + 1);
    if (item == nullptr) {
      if (!m_options.autoCreate) {
        m_log.logError("JSON array index out-of-bounds");
        m_log.logDataInt("index", index);
        m_log.logData("jsonPath", stepPath);
        return nullptr;
      }
      item = createItem(array, after, stepPath);
      if (item == nullptr) return nullptr;
    }

    const std::uint8_t kind = item->nodeKind();
    if (*after == '\0') {
      if (kind == kNodeValue || kind == kNodeObject) return item;
      m_log.logError("Unexpected JSON object type");
      m_log.logDataInt("objType", kind);
      return nullptr;
    }
    if (*after == m_options.separator) {
      if (kind == kNodeObject) {
        m_node = item;
        m_path = after + 1;
        m_arrayStep = false;
        done = false;
        return nullptr;
      }
      syntaxError("JSON path error: expected an object.", "Expected a '.' or '[' char.",
                  "JSON path syntax error (1).", "jsonPath", stepPath);
      return nullptr;
    }
    if (*after == '[') {
      if (kind == kNodeValue) {
        m_node = item;
        m_path = after;
        done = false;
        return nullptr;
      }
      syntaxError("JSON path error: expected an array.", "Expected a '.' or '[' char.",
                  "JSON path syntax error (1).", "jsonPath", stepPath);
      return nullptr;
    }
    syntaxError("Expected a '.' or '[' char.", "JSON path syntax error (1).", nullptr, "jsonPath",
                stepPath);
    return nullptr;
  }

  const JsonPathOptions& m_options;
  LogBase& m_log;
  _ckJsonBase* m_node = nullptr;
  const char* m_path = nullptr;
  bool m_arrayStep = false;
};

}  // namespace

_ckJsonBase* resolveObjectPath(_ckJsonObject* object, const char* path,
                               const JsonPathOptions& options, LogBase& log) noexcept {
  if (object == nullptr) return nullptr;
  PathWalker walker(options, log);
  return walker.walk(object, false, path);
}

_ckJsonBase* resolveArrayPath(_ckJsonValue* array, const char* path, const JsonPathOptions& options,
                              LogBase& log) noexcept {
  if (array == nullptr) return nullptr;
  PathWalker walker(options, log);
  return walker.walk(array, true, path);
}

bool setPathValue(_ckWeakPtr* topObject, const char* path, const char* text, bool autoCreate,
                  bool quoted, const JsonPathOptions& settings, LogBase& log) noexcept {
  void* target = topObject != nullptr ? topObject->lockTarget() : nullptr;
  if (target == nullptr) {
    log.logError("Unable to lock my JSON object.");
    return false;
  }
  auto* top = static_cast<_ckJsonObject*>(target);
  bool result = false;
  StringBuffer escaped;
  if (escaped.appendText(text) && escaped.escapeJsonInPlace()) {
    JsonPathOptions options;
    options.separator = settings.separator;
    options.autoCreate = autoCreate;
    options.leafKind = kLeafString;
    options.mode = kPathFind;
    options.indexI = settings.indexI;
    options.indexJ = settings.indexJ;
    options.indexK = settings.indexK;
    _ckJsonBase* node = resolveObjectPath(top, path, options, log);
    if (node != nullptr && node->nodeKind() == kNodeValue) {
      result = static_cast<_ckJsonValue*>(node)->setValueText(escaped.text(), escaped.length(),
                                                              quoted, log);
    } else if (node != nullptr) {
      log.logError("Path did not end at a JSON value (1)");
    }
  }
  topObject->unlockTarget();
  return result;
}

}  // namespace rozazar
