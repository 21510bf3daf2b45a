#pragma once
// A guard around calls into the library under test: a hardware exception, a
// noncontinuable exception or another compiler's C++ exception that escapes
// the library ends the call instead of the console. Exceptions the library
// raises and handles itself never reach the guard: it is a handler of the
// calling frame (a registration record on x86, the frame's unwind data on
// x64), not a vectored handler, so the system consults it only for what the
// library's own frames leave unhandled.

#include <windows.h>

#include <cstdint>
#include <exception>
#include <string>

// What escaped a guarded call.
struct LibraryFault {
  std::uint32_t code = 0;
  const void* address = nullptr;
  // The place in the library when the exception's address is elsewhere: for
  // an exception raised through the system's functions, the first caller
  // outside the system and this program; for a call into memory that is no
  // code, the return address the call left. Null otherwise.
  const void* caller = nullptr;
  // For an access violation: 0 read, 1 write, 8 execute, and the address.
  bool hasAccess = false;
  std::uintptr_t accessKind = 0;
  const void* accessAddress = nullptr;
};

using GuardedCall = void (*)(void* context) noexcept;

// Runs call(context). True when it returned; false, with `fault` filled,
// when an exception of the kinds above escaped it. After a stack overflow
// the stack's guard page is put back, so a second one is caught as well.
bool CallGuarded(GuardedCall call, void* context, LibraryFault& fault) noexcept;

// The loaded module that holds `address` (its reference count unchanged),
// or null.
HMODULE ModuleOf(const void* address);

// The report of `fault` in the export `exportName`: the export, the code,
// the system's name for it where it has one, where it happened (module and
// offset when the address lies in a loaded module) and, for an access
// violation, the operation and the address. Call it while the library is
// still loaded.
std::wstring DescribeLibraryFault(const wchar_t* exportName, const LibraryFault& fault);

// Thrown out of a guarded export call, to end the command's body.
class LibraryFaulted : public std::exception {
 public:
  explicit LibraryFaulted(std::wstring report) : report_(std::move(report)) {}
  const char* what() const noexcept override { return "the library failed"; }
  const std::wstring& Report() const { return report_; }

 private:
  std::wstring report_;
};
