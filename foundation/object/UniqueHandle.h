// The owner of one handle of a C interface: a file, a certificate store, a
// CNG provider, a libcurl session. It closes its handle exactly once, with
// Close, when it ends or takes another; it can be moved but not copied.
// Invalid is the value that means "no handle" (null for pointer handles).
#pragma once

#include <utility>

namespace rozazar {

template <typename Handle, auto Close, Handle Invalid = Handle{}>
class UniqueHandle {
 public:
  UniqueHandle() noexcept = default;
  // Takes over `handle`, which the caller owned.
  explicit UniqueHandle(Handle handle) noexcept : m_handle(handle) {}
  ~UniqueHandle() { reset(); }

  UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  Handle get() const noexcept { return m_handle; }
  explicit operator bool() const noexcept { return m_handle != Invalid; }

  // Gives up the handle without closing it.
  Handle release() noexcept { return std::exchange(m_handle, Invalid); }

  // Closes the own handle, if any, and takes over `handle`.
  void reset(Handle handle = Invalid) noexcept {
    const Handle previous = std::exchange(m_handle, handle);
    if (previous != Invalid) Close(previous);
  }

  // Closes the own handle and gives the address of the empty slot, for a
  // call that returns a new handle through a pointer.
  Handle* receive() noexcept {
    reset();
    return &m_handle;
  }

 private:
  Handle m_handle = Invalid;
};

}  // namespace rozazar
