// A growable stack of plain entries for the parser's and the emitter's
// explicit nesting. It never throws, checks nothing per push beyond room,
// and keeps its entries in one heap block that doubles when full.
#pragma once

#include <cstddef>
#include <cstring>
#include <type_traits>

#include "foundation/object/Allocation.h"

namespace rozazar {

template <typename Entry>
class JsonStack {
  static_assert(std::is_trivially_copyable<Entry>::value, "entries are moved as bytes");

 public:
  JsonStack() noexcept = default;
  JsonStack(const JsonStack&) = delete;
  JsonStack& operator=(const JsonStack&) = delete;
  ~JsonStack() { delete[] m_entries; }

  // False (stack unchanged) when it can't grow.
  bool push(const Entry& entry) noexcept {
    if (m_count == m_capacity && !grow()) return false;
    m_entries[m_count++] = entry;
    return true;
  }
  Entry pop() noexcept { return m_entries[--m_count]; }
  bool empty() const noexcept { return m_count == 0; }
  Entry& top() noexcept { return m_entries[m_count - 1]; }

 private:
  bool grow() noexcept {
    const std::size_t capacity = m_capacity == 0 ? 64 : m_capacity * 2;
    Entry* entries = newRawArray<Entry>(capacity);
    if (entries == nullptr) return false;
    if (m_count > 0) std::memcpy(entries, m_entries, m_count * sizeof(Entry));
    delete[] m_entries;
    m_entries = entries;
    m_capacity = capacity;
    return true;
  }

  Entry* m_entries = nullptr;
  std::size_t m_count = 0;
  std::size_t m_capacity = 0;
};

}  // namespace rozazar
