#include "json/internal/JsonEmitter.h"

#include <cstring>

#include "foundation/text/StringBuffer.h"
#include "json/internal/JsonNodes.h"
#include "json/internal/JsonStack.h"

namespace rozazar {

namespace {

// One open object or array on the emitter's stack.
struct EmitFrame {
  const _ckJsonObject* object;  // null for an array frame
  const JsonNodeList* items;    // the array's item list
  std::int32_t next;            // index of the next entry to look at
  // Set while a member's object or array value is being written: the
  // member's start in the output, its index, and whether the value is empty.
  std::uint32_t memberStart;
  std::int32_t memberIndex;
  std::uint8_t memberOpen;
  std::uint8_t valueEmpty;
};

// The emitter's output: a staging block on the stack in front of the output
// buffer. Tokens are copied into the block, and the block goes to the buffer
// in one append when it is full or the text is complete, instead of one
// append (with its checks and terminator) per token. Reading, dropping and
// truncating see staged and handed-over text as one.
class EmitSink {
  // Copies n bytes. Names and values are mostly short: up to 16 bytes are
  // moved by two fixed-size copies that may overlap, which the compiler
  // turns into plain loads and stores instead of a library call.
  static void copyBytes(char* to, const char* from, std::size_t n) noexcept {
    if (n >= 8 && n <= 16) {
      std::memcpy(to, from, 8);
      std::memcpy(to + n - 8, from + n - 8, 8);
    } else if (n >= 4 && n < 8) {
      std::memcpy(to, from, 4);
      std::memcpy(to + n - 4, from + n - 4, 4);
    } else if (n > 0 && n < 4) {
      to[0] = from[0];
      to[n / 2] = from[n / 2];
      to[n - 1] = from[n - 1];
    } else if (n > 16) {
      std::memcpy(to, from, n);
    }
  }

 public:
  explicit EmitSink(StringBuffer& out) noexcept : m_out(out) {}
  EmitSink(const EmitSink&) = delete;
  EmitSink& operator=(const EmitSink&) = delete;

  // Hands the staged text to the output buffer.
  bool flush() noexcept {
    if (m_used == 0) return true;
    const bool ok = m_out.appendBytes(m_stage, m_used);
    m_used = 0;
    return ok;
  }

  std::uint32_t length() const noexcept {
    return m_out.length() + static_cast<std::uint32_t>(m_used);
  }
  char lastChar() const noexcept { return m_used > 0 ? m_stage[m_used - 1] : m_out.lastChar(); }
  char charAt(std::size_t i) const noexcept {
    const std::size_t handedOver = m_out.length();
    if (i < handedOver) return m_out.charAt(i);
    return i - handedOver < m_used ? m_stage[i - handedOver] : '\0';
  }

  bool appendChar(char c) noexcept {
    if (m_used == kStageBytes && !flush()) return false;
    m_stage[m_used++] = c;
    return true;
  }
  // Two texts of one character each.
  bool appendTwo(const char* first, const char* second) noexcept {
    return appendChar(*first) && appendChar(*second);
  }
  // As the buffer's appendBytes, zero bytes at the end of the text are
  // dropped.
  bool appendBytes(const char* data, std::size_t n) noexcept {
    if (n > kStageBytes - m_used) {
      if (!flush()) return false;
      if (n > kStageBytes) return m_out.appendBytes(data, n);
    }
    copyBytes(m_stage + m_used, data, n);
    m_used += n;
    // The source's last byte tells whether there is anything to drop; the
    // staged copy is not read back right after it was written.
    if (n > 0 && data[n - 1] != '\0') return true;
    while (m_used > 0 && m_stage[m_used - 1] == '\0') --m_used;
    if (m_used == 0) {
      while (m_out.length() > 0 && m_out.lastChar() == '\0') m_out.dropLast(1);
    }
    return true;
  }
  bool appendCharRun(char c, std::size_t n) noexcept {
    if (n > StringBuffer::kMaxCharRun) return true;
    if (n > kStageBytes - m_used) {
      if (!flush()) return false;
      if (n > kStageBytes) return m_out.appendCharRun(c, n);
    }
    std::memset(m_stage + m_used, c, n);
    m_used += n;
    return true;
  }

  void dropLast(std::size_t n) noexcept {
    if (n <= m_used) {
      m_used -= n;
      return;
    }
    n -= m_used;
    m_used = 0;
    m_out.dropLast(n);
  }
  void truncateTo(std::size_t n) noexcept {
    const std::size_t handedOver = m_out.length();
    if (n >= handedOver) {
      if (n - handedOver < m_used) m_used = n - handedOver;
      return;
    }
    m_used = 0;
    m_out.truncateTo(n);
  }

 private:
  static constexpr std::size_t kStageBytes = 8192;

  StringBuffer& m_out;
  std::size_t m_used = 0;
  char m_stage[kStageBytes];
};

class Emitter {
 public:
  Emitter(StringBuffer& out, EmitOptions& options) noexcept
      : m_out(out), m_options(options), m_indented(options.compact == 0) {}

  bool run(const _ckJsonObject& top) noexcept {
    if (!openObject(top)) return false;
    while (!m_stack.empty()) {
      const bool ok = m_stack.top().object != nullptr ? stepObject() : stepArray();
      if (!ok) return false;
    }
    return m_out.flush();
  }

 private:
  bool newline() noexcept {
    if (!m_indented) return true;
    return m_options.crLf != 0 ? m_out.appendTwo("\r", "\n") : m_out.appendChar('\n');
  }
  bool indent() noexcept {
    if (!m_indented || m_options.indentLevel <= 0) return true;
    return m_out.appendCharRun(' ', static_cast<std::size_t>(m_options.indentLevel) * 2);
  }
  void raise() noexcept {
    if (m_indented) ++m_options.indentLevel;
  }
  void lower() noexcept {
    if (m_indented && m_options.indentLevel > 0) --m_options.indentLevel;
  }
  void dropLineEnd() noexcept {
    if (m_out.lastChar() == '\n') m_out.dropLast(1);
    if (m_out.lastChar() == '\r') m_out.dropLast(1);
  }
  bool indentAfterLineFeed() noexcept { return m_out.lastChar() != '\n' || indent(); }

  // Writes the opening of an object; pushes a frame unless the object has no
  // member list, in which case it is complete ("{}") already.
  bool openObject(const _ckJsonObject& object) noexcept {
    if (!indentAfterLineFeed() || !m_out.appendChar('{')) return false;
    if (!object.hasMemberList()) return m_out.appendChar('}');
    if (!newline()) return false;
    raise();
    return m_stack.push(EmitFrame{&object, nullptr, 0, 0, 0, 0, 0});
  }

  bool openArray(const JsonNodeList* items) noexcept {
    if (!indentAfterLineFeed() || !m_out.appendChar('[') || !newline()) return false;
    raise();
    return m_stack.push(EmitFrame{nullptr, items, 0, 0, 0, 0, 0});
  }

  bool closeObject() noexcept {
    m_stack.pop();
    // Members left out at the end leave a separator behind.
    if (m_out.lastChar() == ',') {
      m_out.dropLast(1);
    } else if (m_indented) {
      dropTrailingSeparatorBeforeLineEnd();
    }
    lower();
    return indent() && m_out.appendChar('}') && newline();
  }

  // In indented layout the separator of the last written member stands
  // before its line end; take it out so that the text stays JSON.
  void dropTrailingSeparatorBeforeLineEnd() noexcept {
    const std::uint32_t n = m_out.length();
    const std::uint32_t lineEnd = m_options.crLf != 0 ? 2 : 1;
    if (n > lineEnd && m_out.charAt(n - lineEnd - 1) == ',' && m_out.charAt(n - 1) == '\n') {
      m_out.truncateTo(n - lineEnd - 1);
      newline();
    }
  }

  bool closeArray() noexcept {
    m_stack.pop();
    lower();
    return indent() && m_out.appendChar(']') && newline();
  }

  // After a member was written in full: its separator and line end, or its
  // removal when it is to be left out.
  bool finishMember(std::uint32_t start, std::int32_t index, std::int32_t count,
                    bool valueEmpty) noexcept {
    if (m_options.omitEmpty != 0 && valueEmpty) {
      m_out.truncateTo(start);
      return true;
    }
    dropLineEnd();
    if (index != count - 1 && !m_out.appendChar(',')) return false;
    return newline();
  }

  bool finishItem(std::int32_t index, std::int32_t count) noexcept {
    dropLineEnd();
    if (index != count - 1 && !m_out.appendChar(',')) return false;
    return newline();
  }

  // Writes a scalar; sets empty as the omit-empty rule counts it.
  bool writeScalar(const _ckJsonValue& value, bool& empty) noexcept {
    const char* data = nullptr;
    std::uint32_t n = 0;
    if (!value.readText(data, n)) return false;
    if (!value.isQuoted()) return m_out.appendBytes(data, n);
    // A quoted heap text is never counted as empty.
    empty = n == 0 && value.payloadForm() != kPayloadHeap;
    return m_out.appendChar('"') && m_out.appendBytes(data, n) && m_out.appendChar('"');
  }

  bool stepObject() noexcept {
    EmitFrame& frame = m_stack.top();
    const JsonNodeList* list = frame.object->memberList();
    const std::int32_t count = list->count();
    if (frame.memberOpen != 0) {
      frame.memberOpen = 0;
      if (!finishMember(frame.memberStart, frame.memberIndex, count, frame.valueEmpty != 0))
        return false;
    }
    while (frame.next < count) {
      const std::int32_t index = frame.next++;
      const auto* member = static_cast<const _ckJsonMember*>(list->getAt(index));
      if (member == nullptr) continue;
      const std::uint32_t start = m_out.length();
      if (!indent()) return false;
      const char* name = nullptr;
      std::uint32_t nameLength = 0;
      if (!member->readName(name, nameLength)) {
        m_out.truncateTo(start);
        return false;
      }
      if (!m_out.appendChar('"') || !m_out.appendBytes(name, nameLength) ||
          !m_out.appendTwo("\"", ":") || (m_indented && !m_out.appendChar(' ')))
        return false;
      const _ckJsonValue* value = member->value();
      if (value == nullptr) {
        // A member without a value leaves no trace.
        m_out.truncateTo(start);
        continue;
      }
      if (!_ckJsonValue::isLive(value)) {
        m_out.truncateTo(start);
        return false;
      }
      if (value->isScalar()) {
        bool empty = false;
        if (!writeScalar(*value, empty)) {
          m_out.truncateTo(start);
          return false;
        }
        if (!finishMember(start, index, count, empty)) return false;
        continue;
      }
      frame.memberOpen = 1;
      frame.memberStart = start;
      frame.memberIndex = index;
      if (value->isArray()) {
        frame.valueEmpty = value->itemCount() == 0 ? 1 : 0;
        return openArray(value->items());
      }
      const _ckJsonObject* object = value->object();
      frame.valueEmpty = object == nullptr || object->memberCount() == 0 ? 1 : 0;
      if (object == nullptr) return false;
      // An object without a member list is complete at once; the frame's
      // member is finished on the next step.
      return openObject(*object);
    }
    return closeObject();
  }

  bool stepArray() noexcept {
    EmitFrame& frame = m_stack.top();
    const JsonNodeList* list = frame.items;
    if (list == nullptr) return closeArray();
    const std::int32_t count = list->count();
    if (frame.memberOpen != 0) {
      frame.memberOpen = 0;
      if (!finishItem(frame.memberIndex, count)) return false;
    }
    while (frame.next < count) {
      const std::int32_t index = frame.next++;
      const _ckJsonBase* item = list->getAt(index);
      if (item == nullptr) continue;
      if (!indent()) return false;
      if (item->nodeKind() == kNodeObject) {
        frame.memberOpen = 1;
        frame.memberIndex = index;
        return openObject(*static_cast<const _ckJsonObject*>(item));
      }
      if (item->nodeKind() == kNodeValue) {
        const auto* value = static_cast<const _ckJsonValue*>(item);
        if (!_ckJsonValue::isLive(value)) return false;
        if (value->isArray()) {
          frame.memberOpen = 1;
          frame.memberIndex = index;
          return openArray(value->items());
        }
        if (value->isObject()) {
          if (value->object() == nullptr) return false;
          frame.memberOpen = 1;
          frame.memberIndex = index;
          return openObject(*value->object());
        }
        bool empty = false;
        if (!writeScalar(*value, empty)) return false;
      }
      if (!finishItem(index, count)) return false;
    }
    return closeArray();
  }

  EmitSink m_out;
  EmitOptions& m_options;
  bool m_indented;
  JsonStack<EmitFrame> m_stack;
};

}  // namespace

bool emitObject(const _ckJsonObject& object, StringBuffer& out, EmitOptions& options) noexcept {
  Emitter emitter(out, options);
  return emitter.run(object);
}

}  // namespace rozazar
