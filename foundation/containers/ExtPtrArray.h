// A growable array of foundation object pointers. Every element access checks
// the element's signature; ownership of the elements is the owner's choice.
#pragma once

#include <cstdint>

#include "foundation/object/RozazarObject.h"

namespace rozazar {

class ExtPtrArray : public NonRefCountedObj {
 public:
  ExtPtrArray() noexcept = default;
  ExtPtrArray(const ExtPtrArray&) = delete;
  ExtPtrArray& operator=(const ExtPtrArray&) = delete;
  // Deletes the elements when it owns them (and may delete), then the slots.
  ~ExtPtrArray() override;

  // A new empty array, or null.
  static ExtPtrArray* createNew() noexcept;

  std::size_t ownedHeapBytes() const noexcept override { return 0; }

  // Null may be added; a non-null object with a wrong signature is refused.
  // False leaves the array unchanged.
  bool append(RozazarObject* obj) noexcept;
  // A negative index means 0, one past the end or beyond means append.
  bool insertAt(int index, RozazarObject* obj) noexcept;

  // Null for a bad index, a null slot, or a wrong signature of the array or
  // the element.
  RozazarObject* getAt(int index) const noexcept;
  RozazarObject* last() const noexcept;
  int count() const noexcept { return m_count; }
  int capacity() const noexcept { return m_capacity; }

  // Takes the element out without deleting it. Null for a bad index; an
  // element with a wrong signature is dropped and null returned.
  RozazarObject* removeAt(int index) noexcept;
  RozazarObject* popLast() noexcept;

  void clearWithoutDelete() noexcept { m_count = 0; }
  // Deletes every element through deleteObject unless never-delete is set;
  // then the array is empty.
  void deleteAll() noexcept;
  // Moves every live element of other to the end of this array and copies its
  // never-delete flag. Should room run out, the elements not moved stay in
  // other, in order, and the result is false; nothing is lost.
  bool takeAllFrom(ExtPtrArray& other) noexcept;

  void setOwnsElements(bool owns) noexcept { m_ownsElements = owns ? 1 : 0; }
  bool ownsElements() const noexcept { return m_ownsElements != 0; }
  void setNeverDelete(bool neverDelete) noexcept { m_neverDelete = neverDelete ? 1 : 0; }
  bool neverDelete() const noexcept { return m_neverDelete != 0; }

 private:
  static constexpr std::int32_t kFirstCapacity = 5;
  static constexpr std::int32_t kIncrementCap = 100000;

  // Makes room for one more element; false (array unchanged) when it can't.
  bool makeRoomForOne() noexcept;
  // The element of a slot when it is live; reports and returns null otherwise.
  static RozazarObject* checked(RozazarObject* element) noexcept;

  std::int32_t m_growBy = kFirstCapacity;
  std::int32_t m_capacity = 0;
  std::int32_t m_count = 0;
  RozazarObject** m_slots = nullptr;
  std::uint8_t m_ownsElements = 0;
  std::uint8_t m_neverDelete = 0;
};

}  // namespace rozazar
