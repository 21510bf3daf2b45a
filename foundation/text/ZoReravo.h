// Wide result strings for the wide-character interface: ZoReravo holds one
// result, ReVeviZeduZode keeps a ring of ten so that a returned pointer
// stays valid while the caller makes up to nine further calls.
#pragma once

#include <cstdint>

#include "foundation/object/RozazarObject.h"

namespace rozazar {

class StringBuffer;
class XString;

class ZoReravo : public NonRefCountedObj {
 public:
  // Creates its XString; should that fail, the result has none.
  ZoReravo() noexcept;
  ZoReravo(const ZoReravo&) = delete;
  ZoReravo& operator=(const ZoReravo&) = delete;
  // Wipes and deletes what it owns.
  ~ZoReravo() override;

  XString* xstring() noexcept { return m_text; }
  // The optional byte buffer, created on first request (null if that fails).
  StringBuffer* buffer() noexcept;
  // The UTF-16 text of the XString; null when there is none.
  const char16_t* getWide() noexcept;
  void clear() noexcept;

 private:
  XString* m_text = nullptr;
  StringBuffer* m_buffer = nullptr;
};

class ReVeviZeduZode {
 public:
  static constexpr int kSlots = 10;

  ReVeviZeduZode() noexcept = default;
  ReVeviZeduZode(const ReVeviZeduZode&) = delete;
  ReVeviZeduZode& operator=(const ReVeviZeduZode&) = delete;
  virtual ~ReVeviZeduZode();

  // Advances to the next slot (9 wraps to 0), creating its ZoReravo when it
  // does not exist yet, and returns the index.
  int nextResultSlot() noexcept;
  // The slot's result, or null (bad index, or creation failed).
  ZoReravo* resultSlot(int index) noexcept;
  // Puts UTF-8 text into the next slot and returns it as wide text; null
  // when the slot could not be made or filled.
  const char16_t* returnUtf8(const char* text) noexcept;
  // The same for the text of an XString.
  const char16_t* returnXString(XString& text) noexcept;

 private:
  ZoReravo* m_slots[kSlots] = {};
  int m_lastSlot = 0;
};

}  // namespace rozazar
