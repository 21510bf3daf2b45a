#include "json/internal/JsonEmitter.h"

#include "foundation/object/Allocation.h"
#include "foundation/text/StringBuffer.h"
#include "json/internal/JsonNodes.h"

namespace rozazar {

namespace {

// One open object or array on the emitter's stack.
struct EmitFrame {
  const _ckJsonObject* object;  // null for an array frame
  const ExtPtrArray* items;     // the array's item list
  std::int32_t next;            // index of the next entry to look at
  // Set while a member's object or array value is being written: the
  // member's start in the output, its index, and whether the value is empty.
  std::uint32_t memberStart;
  std::int32_t memberIndex;
  std::uint8_t memberOpen;
  std::uint8_t valueEmpty;
};

// A growable stack of frames that never throws.
class EmitStack {
 public:
  EmitStack() noexcept = default;
  EmitStack(const EmitStack&) = delete;
  EmitStack& operator=(const EmitStack&) = delete;
  ~EmitStack() { delete[] m_frames; }

  bool push(const EmitFrame& frame) noexcept {
    if (m_count == m_capacity) {
      const std::size_t capacity = m_capacity == 0 ? 64 : m_capacity * 2;
      EmitFrame* frames = newRawArray<EmitFrame>(capacity);
      if (frames == nullptr) return false;
      for (std::size_t i = 0; i < m_count; ++i) frames[i] = m_frames[i];
      delete[] m_frames;
      m_frames = frames;
      m_capacity = capacity;
    }
    m_frames[m_count++] = frame;
    return true;
  }
  void pop() noexcept { --m_count; }
  bool empty() const noexcept { return m_count == 0; }
  EmitFrame& top() noexcept { return m_frames[m_count - 1]; }

 private:
  EmitFrame* m_frames = nullptr;
  std::size_t m_count = 0;
  std::size_t m_capacity = 0;
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
    return true;
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

  bool openArray(const ExtPtrArray* items) noexcept {
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
    const ExtPtrArray* list = frame.object->memberList();
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
    const ExtPtrArray* list = frame.items;
    if (list == nullptr) return closeArray();
    const std::int32_t count = list->count();
    if (frame.memberOpen != 0) {
      frame.memberOpen = 0;
      if (!finishItem(frame.memberIndex, count)) return false;
    }
    while (frame.next < count) {
      const std::int32_t index = frame.next++;
      const auto* item = static_cast<const _ckJsonBase*>(list->getAt(index));
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

  StringBuffer& m_out;
  EmitOptions& m_options;
  bool m_indented;
  EmitStack m_stack;
};

}  // namespace

bool emitObject(const _ckJsonObject& object, StringBuffer& out, EmitOptions& options) noexcept {
  Emitter emitter(out, options);
  return emitter.run(object);
}

}  // namespace rozazar
