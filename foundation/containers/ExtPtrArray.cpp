#include "foundation/containers/ExtPtrArray.h"

#include <cstring>
#include <limits>

#include "foundation/object/Allocation.h"

namespace rozazar {

ExtPtrArray::~ExtPtrArray() {
  if (m_ownsElements != 0 && m_neverDelete == 0) deleteAll();
  delete[] m_slots;
}

ExtPtrArray* ExtPtrArray::createNew() noexcept { return newObject<ExtPtrArray>(); }

RozazarObject* ExtPtrArray::checked(RozazarObject* element) noexcept {
  if (element == nullptr) return nullptr;
  return isValid(element) ? element : nullptr;
}

bool ExtPtrArray::makeRoomForOne() noexcept {
  if (m_slots == nullptr) {
    RozazarObject** slots = newArray<RozazarObject*>(kFirstCapacity);
    if (slots == nullptr) return false;
    m_slots = slots;
    m_capacity = kFirstCapacity;
    m_count = 0;
  }
  if (m_count + 1 <= m_capacity) return true;

  if (m_capacity > std::numeric_limits<std::int32_t>::max() - m_growBy) return false;
  std::int32_t newCapacity = m_capacity + m_growBy;
  if (newCapacity <= m_count + 1) newCapacity = m_count + 2;
  RozazarObject** slots = newArray<RozazarObject*>(static_cast<std::size_t>(newCapacity));
  if (slots == nullptr) return false;
  std::memcpy(slots, m_slots, static_cast<std::size_t>(m_count) * sizeof(*m_slots));
  delete[] m_slots;
  m_slots = slots;
  m_capacity = newCapacity;
  // The increment follows the capacity (doubling) until it reaches the cap.
  if (m_growBy < kIncrementCap)
    m_growBy = newCapacity < kIncrementCap ? newCapacity : kIncrementCap;
  return true;
}

bool ExtPtrArray::append(RozazarObject* obj) noexcept {
  if (obj != nullptr && !isValid(obj)) return false;
  if (!makeRoomForOne()) return false;
  m_slots[m_count++] = obj;
  return true;
}

bool ExtPtrArray::insertAt(int index, RozazarObject* obj) noexcept {
  if (index >= m_count) return append(obj);
  if (obj != nullptr && !isValid(obj)) return false;
  if (index < 0) index = 0;
  if (!makeRoomForOne()) return false;
  std::memmove(m_slots + index + 1, m_slots + index,
               static_cast<std::size_t>(m_count - index) * sizeof(*m_slots));
  m_slots[index] = obj;
  ++m_count;
  return true;
}

RozazarObject* ExtPtrArray::getAt(int index) const noexcept {
  if (!isValid(this)) return nullptr;
  if (index < 0 || index >= m_count) return nullptr;
  return checked(m_slots[index]);
}

RozazarObject* ExtPtrArray::last() const noexcept { return getAt(m_count - 1); }

RozazarObject* ExtPtrArray::removeAt(int index) noexcept {
  if (index < 0 || index >= m_count) return nullptr;
  RozazarObject* element = m_slots[index];
  std::memmove(m_slots + index, m_slots + index + 1,
               static_cast<std::size_t>(m_count - index - 1) * sizeof(*m_slots));
  m_slots[--m_count] = nullptr;
  return checked(element);
}

RozazarObject* ExtPtrArray::popLast() noexcept { return removeAt(m_count - 1); }

void ExtPtrArray::deleteAll() noexcept {
  if (m_neverDelete == 0) {
    for (std::int32_t i = 0; i < m_count; ++i) {
      deleteObject(m_slots[i]);
      m_slots[i] = nullptr;
    }
  }
  m_count = 0;
}

bool ExtPtrArray::takeAllFrom(ExtPtrArray& other) noexcept {
  if (&other == this) return true;
  m_neverDelete = other.m_neverDelete;
  std::int32_t taken = 0;
  bool complete = true;
  for (; taken < other.m_count; ++taken) {
    RozazarObject* element = other.m_slots[taken];
    if (element == nullptr || !isValid(element)) continue;
    if (!append(element)) {
      complete = false;
      break;
    }
  }
  // Whatever could not be moved stays in other, at its front.
  const std::int32_t left = other.m_count - taken;
  if (left > 0) {
    std::memmove(other.m_slots, other.m_slots + taken,
                 static_cast<std::size_t>(left) * sizeof(*m_slots));
  }
  other.m_count = left;
  return complete;
}

}  // namespace rozazar
