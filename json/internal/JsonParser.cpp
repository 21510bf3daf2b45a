#include "json/internal/JsonParser.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "foundation/containers/DataBuffer.h"
#include "foundation/object/LogBase.h"
#include "json/internal/JsonNodes.h"
#include "json/internal/JsonStack.h"

namespace rozazar {

namespace {

enum ParseState : std::int32_t {
  kInObject = 1,    // waiting for a member or the object's end
  kAfterColon = 2,  // waiting for a member's value
  kInArray = 3,     // waiting for an item or the array's end
};

// Byte classes of the scan, one table look-up instead of a chain of
// comparisons per byte: blanks, bytes that end a literal anywhere, and the
// bar that ends one inside an array.
enum ByteClass : std::uint8_t {
  kBlank = 1,
  kEndsLiteral = 2,
  kEndsLiteralInArray = 4,
};

struct ByteClasses {
  std::uint8_t of[256];
};

constexpr ByteClasses makeByteClasses() noexcept {
  ByteClasses table{};
  for (const char c : {' ', '\t', '\r', '\n'}) {
    table.of[static_cast<unsigned char>(c)] = kBlank | kEndsLiteral | kEndsLiteralInArray;
  }
  for (const char c : {',', ']', '}'}) {
    table.of[static_cast<unsigned char>(c)] = kEndsLiteral | kEndsLiteralInArray;
  }
  table.of[static_cast<unsigned char>('|')] = kEndsLiteralInArray;
  return table;
}

constexpr ByteClasses kByteClasses = makeByteClasses();

std::uint8_t byteClass(char c) noexcept { return kByteClasses.of[static_cast<unsigned char>(c)]; }

#if defined(__SSE2__)
// The bytes of 16 at p that equal c, one bit each.
int matches(__m128i bytes, char c) noexcept {
  return _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(c)));
}

std::size_t firstBit(int bits) noexcept {
  return static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(bits)));
}
#endif

// An object or array value waiting for the scan to come back to it.
struct ParseFrame {
  std::int32_t state;
  _ckJsonBase* node;
};

class JsonScanner {
 public:
  JsonScanner(_ckJsonDoc& doc, const char* text, std::size_t size, bool copyMode) noexcept
      : m_doc(doc), m_text(text), m_pos(0), m_end(size), m_copy(copyMode) {}

  // Runs the scan from the first '{' with root as the outermost object.
  bool run(_ckJsonObject* root) noexcept {
    const void* brace = std::memchr(m_text, '{', m_end);
    if (brace == nullptr) return true;
    m_pos = static_cast<std::size_t>(static_cast<const char*>(brace) - m_text) + 1;
    if (!push(kInObject, root)) return false;
    while (!m_stack.empty()) {
      const ParseFrame frame = m_stack.pop();
      const bool ok = frame.state == kInObject ? inObject(static_cast<_ckJsonObject*>(frame.node))
                                               : inArray(static_cast<_ckJsonValue*>(frame.node));
      if (!ok) return false;
      if (m_pos >= m_end) return true;
    }
    return true;
  }

 private:
  bool push(std::int32_t state, _ckJsonBase* node) noexcept {
    return m_stack.push(ParseFrame{state, node});
  }

  bool atEnd() const noexcept { return m_pos >= m_end; }

  void skipBlanks(bool barIsBlank) noexcept {
    while (m_pos < m_end) {
      const char c = m_text[m_pos];
      if ((byteClass(c) & kBlank) != 0 || (barIsBlank && (c == '|' || c == ','))) {
        ++m_pos;
      } else {
        break;
      }
    }
  }

  // From just after an opening quote: the position of the closing quote, or
  // false when the text ends first. A backslash escapes the byte after it.
  bool findClosingQuote(std::size_t& close) const noexcept {
    std::size_t from = m_pos;
    while (from < m_end) {
      const void* hit = std::memchr(m_text + from, '"', m_end - from);
      if (hit == nullptr) return false;
      const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(hit) - m_text);
      std::size_t backslashes = 0;
      while (at - backslashes > m_pos && m_text[at - backslashes - 1] == '\\') ++backslashes;
      if ((backslashes & 1) == 0) {
        close = at;
        return true;
      }
      from = at + 1;
    }
    return false;
  }

  // From the literal's first byte: the position of its terminator, or false
  // when the text ends first. Sixteen bytes are looked at in one step where
  // the processor allows.
  bool findLiteralEnd(bool inArray, std::size_t& stop) const noexcept {
    const std::uint8_t ends = inArray ? kEndsLiteralInArray : kEndsLiteral;
    std::size_t from = m_pos;
#if defined(__SSE2__)
    for (; from + 16 <= m_end; from += 16) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m_text + from));
      int hits = matches(bytes, ' ') | matches(bytes, '\t') | matches(bytes, '\r') |
                 matches(bytes, '\n') | matches(bytes, ',') | matches(bytes, ']') |
                 matches(bytes, '}');
      if (inArray) hits |= matches(bytes, '|');
      if (hits != 0) {
        stop = from + firstBit(hits);
        return true;
      }
    }
#endif
    for (std::size_t i = from; i < m_end; ++i) {
      if ((byteClass(m_text[i]) & ends) != 0) {
        stop = i;
        return true;
      }
    }
    return false;
  }

  // Gives value the text [from, to) of the scan: a reference in place, a
  // copy otherwise. Empty text leaves the value's text empty.
  bool giveText(_ckJsonValue* value, std::size_t from, std::size_t to) noexcept {
    if (to == from) return true;
    const auto n = static_cast<std::uint32_t>(to - from);
    if (!m_copy) {
      value->setTextReference(static_cast<std::uint32_t>(from), n);
      return true;
    }
    return value->setValueText(m_text + from, n, value->isQuoted(), m_log);
  }

  // A string or literal value starting at the current position, or null
  // with ok set to false on memory exhaustion (ok stays true when the text
  // ended and nothing was built).
  _ckJsonValue* scalarValue(bool inArray, bool& ok) noexcept {
    ok = true;
    std::size_t from = m_pos;
    std::size_t to = 0;
    const bool quoted = m_text[m_pos] == '"';
    if (quoted) {
      ++m_pos;
      from = m_pos;
      if (!findClosingQuote(to)) {
        m_pos = m_end;
        return nullptr;
      }
    } else if (!findLiteralEnd(inArray, to)) {
      m_pos = m_end;
      return nullptr;
    }
    _ckJsonValue* value = m_doc.newValue(quoted);
    if (value == nullptr || !giveText(value, from, to)) {
      RozazarObject::deleteObject(value);
      ok = false;
      return nullptr;
    }
    // The closing quote is consumed, a literal's terminator is not.
    m_pos = quoted ? to + 1 : to;
    return value;
  }

  // Moves to the next '"' or '}', or to the end of the text.
  void skipToQuoteOrBrace() noexcept {
#if defined(__SSE2__)
    for (; m_pos + 16 <= m_end; m_pos += 16) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m_text + m_pos));
      const int hits = matches(bytes, '"') | matches(bytes, '}');
      if (hits != 0) {
        m_pos += firstBit(hits);
        return;
      }
    }
#endif
    while (m_pos < m_end && m_text[m_pos] != '}' && m_text[m_pos] != '"') ++m_pos;
  }

  // Reads members of object up to its end, or up to a member whose value is
  // an object or an array: then the object waits on the stack below it.
  bool inObject(_ckJsonObject* object) noexcept {
    for (;;) {
      skipToQuoteOrBrace();
      if (atEnd()) return true;
      if (m_text[m_pos] == '}') {
        ++m_pos;
        return true;
      }
      ++m_pos;
      const std::size_t nameStart = m_pos;
      std::size_t nameEnd = 0;
      if (!findClosingQuote(nameEnd)) {
        // A name cut off by the end of the text is dropped.
        m_pos = m_end;
        return true;
      }
      _ckJsonMember* member = m_doc.newMember();
      if (member == nullptr) return false;
      if (!object->appendMember(member)) {
        RozazarObject::deleteObject(member);
        return false;
      }
      if (nameEnd > nameStart) {
        const auto n = static_cast<std::uint32_t>(nameEnd - nameStart);
        if (!m_copy) {
          member->setNameReference(static_cast<std::uint32_t>(nameStart), n);
        } else if (!member->setNameCopy(m_text + nameStart, n)) {
          return false;
        }
      }
      m_pos = nameEnd + 1;
      const void* colon = m_pos < m_end ? std::memchr(m_text + m_pos, ':', m_end - m_pos) : nullptr;
      if (colon == nullptr) {
        m_pos = m_end;
        return true;
      }
      m_pos = static_cast<std::size_t>(static_cast<const char*>(colon) - m_text) + 1;
      skipBlanks(false);
      if (atEnd()) return true;
      const char c = m_text[m_pos];
      if (c == '{' || c == '[') return push(kInObject, object) && afterColon(member);
      if (!afterColon(member)) return false;
    }
  }

  bool afterColon(_ckJsonMember* member) noexcept {
    skipBlanks(false);
    if (atEnd()) return true;
    const char c = m_text[m_pos];
    if (c == '{') {
      _ckJsonValue* value = m_doc.newObjectValue();
      if (value == nullptr) return false;
      member->setValue(value);
      ++m_pos;
      return push(kInObject, value->object());
    }
    if (c == '[') {
      _ckJsonValue* value = m_doc.newArrayValue();
      if (value == nullptr) return false;
      member->setValue(value);
      ++m_pos;
      return push(kInArray, value);
    }
    bool ok = true;
    _ckJsonValue* value = scalarValue(false, ok);
    if (value != nullptr) member->setValue(value);
    return ok;
  }

  // Reads items of array up to its end, or up to an item that is an object
  // or an array: then the array waits on the stack below it.
  bool inArray(_ckJsonValue* array) noexcept {
    for (;;) {
      skipBlanks(true);
      if (atEnd()) return true;
      const char c = m_text[m_pos];
      if (c == ']' || c == '}') {
        ++m_pos;
        return true;
      }
      if (c == '{') {
        _ckJsonObject* object = m_doc.newObject();
        if (object == nullptr) return false;
        if (!array->addAt(-1, object)) {
          RozazarObject::deleteObject(object);
          return false;
        }
        ++m_pos;
        return push(kInArray, array) && push(kInObject, object);
      }
      if (c == '[') {
        _ckJsonValue* nested = m_doc.newArrayValue();
        if (nested == nullptr) return false;
        if (!array->addAt(-1, nested)) {
          RozazarObject::deleteObject(nested);
          return false;
        }
        ++m_pos;
        return push(kInArray, array) && push(kInArray, nested);
      }
      bool ok = true;
      _ckJsonValue* value = scalarValue(true, ok);
      if (!ok) return false;
      if (value == nullptr) return true;
      if (!array->addAt(-1, value)) {
        RozazarObject::deleteObject(value);
        return false;
      }
    }
  }

  _ckJsonDoc& m_doc;
  const char* m_text;
  std::size_t m_pos;
  std::size_t m_end;
  bool m_copy;
  LogNull m_log;
  JsonStack<ParseFrame> m_stack;
};

}  // namespace

bool parseJsonDoc(_ckJsonDoc& doc, DataBuffer& input, bool takeOver, _ckJsonObject* target,
                  LogBase& log) noexcept {
  LogContextExitor context(log, "parseJsonDoc");
  if (target != nullptr) {
    if (input.isEmpty()) return target->resetMemberList();
    JsonScanner scanner(doc, reinterpret_cast<const char*>(input.data()), input.size(), true);
    return scanner.run(target);
  }

  if (!doc.resetTopObject()) return false;
  DataBuffer& source = doc.sourceText();
  source.clear();
  if (takeOver) {
    source.moveFrom(input);
  } else if (!source.appendDataBuffer(input)) {
    return false;
  }
  if (source.isEmpty()) return true;
  JsonScanner scanner(doc, reinterpret_cast<const char*>(source.data()), source.size(), false);
  return scanner.run(doc.topObject());
}

}  // namespace rozazar
