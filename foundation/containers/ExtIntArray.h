// A growable array of signed 32-bit values.
#pragma once

#include <cstdint>

namespace rozazar {

class ExtIntArray {
 public:
  ExtIntArray() noexcept = default;
  ExtIntArray(const ExtIntArray&) = delete;
  ExtIntArray& operator=(const ExtIntArray&) = delete;
  virtual ~ExtIntArray();

  // False when room cannot be made; the array is then unchanged.
  bool push(std::int32_t value) noexcept;
  // 0 for an index out of range.
  std::int32_t getAt(int index) const noexcept;
  // Removes and returns the last value; 0 when empty.
  std::int32_t popLast() noexcept;
  void clear() noexcept { m_count = 0; }
  int count() const noexcept { return m_count; }
  int capacity() const noexcept { return m_capacity; }

 private:
  static constexpr std::int32_t kIncrementCap = 500000;

  bool grow() noexcept;

  std::int32_t m_growBy = 50;
  std::int32_t m_capacity = 0;
  std::int32_t m_count = 0;
  std::int32_t* m_values = nullptr;
};

}  // namespace rozazar
