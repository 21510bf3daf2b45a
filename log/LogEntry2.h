// One entry of the tree log: a context (with its child entries), an error, an
// information line, a name/value pair or a raw text. An entry renders itself
// and its children as indented text, XML or HTML.
#pragma once

#include <cstdint>

#include "foundation/object/RozazarObject.h"

namespace rozazar {

class ExtPtrArray;
class StringBuffer;

class LogEntry2 : public RozazarObject {
 public:
  // Entries one context holds at most; further ones are dropped.
  static constexpr int kMaxChildren = 10000;

  static constexpr char kContext = 'C';
  static constexpr char kError = 'E';
  static constexpr char kInfo = 'I';
  static constexpr char kNameValue = 'T';
  static constexpr char kRaw = 'X';

  LogEntry2() noexcept = default;
  LogEntry2(const LogEntry2&) = delete;
  LogEntry2& operator=(const LogEntry2&) = delete;
  // Deletes the name, the value and every child.
  ~LogEntry2() override;

  // A new context, timed from startTick when timed; null when out of memory.
  static LogEntry2* createContext(const char* name, bool timed, std::uint32_t startTick) noexcept;
  // A new E, I, X (value is the text) or T entry; null when out of memory.
  static LogEntry2* createEntry(char kind, const char* name, const char* value) noexcept;

  char kind() const noexcept { return m_kind; }
  bool isContext() const noexcept { return m_kind == kContext; }
  // Live entries carry the marker "i"; others are ignored when rendering.
  bool isLive() const noexcept { return m_marker == 'i'; }
  bool isStored() const noexcept { return m_placement == 's'; }
  const char* name() const noexcept;
  const char* value() const noexcept;

  int childCount() const noexcept;
  LogEntry2* childAt(int index) const noexcept;
  LogEntry2* lastChild() const noexcept;
  // Stores child as the last child of this context. False, with child not
  // stored (the caller still owns it), when this is not a context, when it
  // holds kMaxChildren entries already or when room cannot be made.
  bool addChild(LogEntry2* child) noexcept;
  void deleteLastChild() noexcept;

  bool isTimed() const noexcept { return m_timed != 0; }
  // Replaces the start tick by the milliseconds elapsed until now (0 when the
  // tick count went backwards).
  void finishTiming(std::uint32_t now) noexcept;
  bool durationValid() const noexcept { return m_durationValid != 0; }
  // The elapsed milliseconds once known, else 0.
  std::uint32_t durationMs() const noexcept { return m_durationValid != 0 ? m_startOrDuration : 0; }

  // Append this entry and its children to out, CR LF line ends.
  void renderText(StringBuffer& out, int depth) const noexcept;
  void renderXml(StringBuffer& out, int depth) const noexcept;
  void renderHtml(StringBuffer& out) const noexcept;

 private:
  ExtPtrArray* m_children = nullptr;
  std::uint32_t m_startOrDuration = 0;
  std::uint8_t m_durationValid = 0;
  char m_placement = 'o';
  char m_marker = 'i';
  char m_kind = kInfo;
  StringBuffer* m_name = nullptr;
  StringBuffer* m_value = nullptr;
  std::uint8_t m_timed = 0;
};

}  // namespace rozazar
