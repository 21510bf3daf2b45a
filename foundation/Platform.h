// The one seam between the portable foundation and the operating system.
// Each platform has one implementation file (PlatformWin.cpp, PlatformPosix.cpp);
// the build picks the file, so no portable code tests the platform itself.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rozazar::platform {

// Room for one operating-system lock held by value: a Win32 CRITICAL_SECTION
// or a recursive pthread mutex. Each implementation checks that its lock fits.
struct LockStorage {
  alignas(8) unsigned char bytes[64];
};

// A re-entrant lock: the owning thread may enter it again.
void lockInit(LockStorage& lock) noexcept;
void lockEnter(LockStorage& lock) noexcept;
void lockLeave(LockStorage& lock) noexcept;
void lockDestroy(LockStorage& lock) noexcept;

// Milliseconds since an arbitrary start; wraps at 2^32.
std::uint32_t tickCount() noexcept;
void sleepMilliseconds(std::uint32_t milliseconds) noexcept;

// The calling thread's code of its last failed system call.
std::uint32_t lastSystemError() noexcept;

// The system's text for an error code as UTF-8, trailing line breaks and
// spaces removed, written zero-terminated into out (cut to fit). Returns the
// length written, 0 when the system has no text for the code.
std::size_t systemErrorText(std::uint32_t code, char* out, std::size_t outSize) noexcept;

// The process's ANSI code page (a Windows code page number). POSIX systems
// work in UTF-8 and report 65001.
int ansiCodePage() noexcept;

}  // namespace rozazar::platform
