// The system calls behind the file functions and the sleep of the platform
// seam, as one table of function pointers. Platform.h's fileOpen, fileRead,
// fileWrite, fileAttributes, setFileAttributes and sleepMilliseconds call
// through the table, so a test can replace an entry to make the system fail
// in a chosen way, or to count the waits, without racing another thread.
#pragma once

#include "foundation/platform/Platform.h"

namespace rozazar::platform {

struct SystemCalls {
  decltype(&fileOpen) open;
  decltype(&fileRead) read;
  decltype(&fileWrite) write;
  decltype(&fileAttributes) attributes;
  decltype(&setFileAttributes) setAttributes;
  decltype(&sleepMilliseconds) sleep;
};

// The operating system's own calls; each implementation file defines them.
const SystemCalls& nativeSystemCalls() noexcept;

// The table in use; it starts as the native calls. Replace entries only
// while no other thread uses the seam.
SystemCalls& systemCalls() noexcept;

// Puts the table as it was at construction back when it ends.
class SystemCallsRestorer {
 public:
  SystemCallsRestorer() noexcept : m_saved(systemCalls()) {}
  ~SystemCallsRestorer() { systemCalls() = m_saved; }
  SystemCallsRestorer(const SystemCallsRestorer&) = delete;
  SystemCallsRestorer& operator=(const SystemCallsRestorer&) = delete;

 private:
  SystemCalls m_saved;
};

}  // namespace rozazar::platform
