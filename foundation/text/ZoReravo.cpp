#include "foundation/text/ZoReravo.h"

#include "foundation/object/Allocation.h"
#include "foundation/text/StringBuffer.h"
#include "foundation/text/XString.h"

namespace rozazar {

ZoReravo::ZoReravo() noexcept : m_text(XString::createNew()) {}

ZoReravo::~ZoReravo() {
  if (m_text != nullptr) m_text->wipeAndRelease();
  if (m_buffer != nullptr) m_buffer->wipeAndRelease();
  RozazarObject::deleteObject(m_text);
  RozazarObject::deleteObject(m_buffer);
}

StringBuffer* ZoReravo::buffer() noexcept {
  if (m_buffer == nullptr) m_buffer = StringBuffer::createNew();
  return m_buffer;
}

const char16_t* ZoReravo::getWide() noexcept {
  return m_text != nullptr ? m_text->getUtf16() : nullptr;
}

void ZoReravo::clear() noexcept {
  if (m_text != nullptr) m_text->clear();
}

ReVeviZeduZode::~ReVeviZeduZode() {
  for (ZoReravo*& slot : m_slots) {
    RozazarObject::deleteObject(slot);
    slot = nullptr;
  }
}

int ReVeviZeduZode::nextResultSlot() noexcept {
  m_lastSlot = (m_lastSlot + 1) % kSlots;
  if (m_slots[m_lastSlot] == nullptr) m_slots[m_lastSlot] = newObject<ZoReravo>();
  return m_lastSlot;
}

ZoReravo* ReVeviZeduZode::resultSlot(int index) noexcept {
  return (index >= 0 && index < kSlots) ? m_slots[index] : nullptr;
}

const char16_t* ReVeviZeduZode::returnUtf8(const char* text) noexcept {
  ZoReravo* slot = resultSlot(nextResultSlot());
  if (slot == nullptr || slot->xstring() == nullptr) return nullptr;
  if (!slot->xstring()->setFromUtf8(text)) return nullptr;
  return slot->getWide();
}

const char16_t* ReVeviZeduZode::returnXString(XString& text) noexcept {
  ZoReravo* slot = resultSlot(nextResultSlot());
  if (slot == nullptr || slot->xstring() == nullptr) return nullptr;
  if (!slot->xstring()->copyFrom(text)) return nullptr;
  return slot->getWide();
}

}  // namespace rozazar
