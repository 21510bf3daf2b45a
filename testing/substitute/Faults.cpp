#include "testing/substitute/Faults.h"

#include <windows.h>

#include <cstdint>

namespace tessel_substitute {
namespace {

// What the other compiler's runtime raises for a thrown C++ exception.
constexpr DWORD kForeignCppException = 0xE06D7363;
constexpr ULONG_PTR kForeignCppMagic = 0x19930520;

volatile int g_divisor = 0;
volatile int g_sink = 0;
volatile bool g_stop = false;

// Recurses until the stack runs out; the flag (never set) only hides that
// from the compiler.
__attribute__((noinline)) int Recurse(int depth) {
  volatile char frame[4096];
  frame[0] = static_cast<char>(depth);
  frame[sizeof frame - 1] = frame[0];
  if (g_stop) return 0;
  return Recurse(depth + 1) + frame[sizeof frame - 1];
}

void HandledExceptions() {
  // A C++ exception thrown and caught inside the library.
  try {
    throw 42;
  } catch (int) {
    g_sink = 1;
  }
  // A fault the system raises and handles within its own frames.
  g_sink = IsBadReadPtr(nullptr, 1) ? 2 : 3;
}

}  // namespace

bool CommitFault(const std::string& kind) {
  if (kind == "null-write") {
    *static_cast<volatile int*>(nullptr) = 1;
  } else if (kind == "read-unmapped") {
    // Reserved, never committed: no page behind the address.
    auto* reserved =
        static_cast<volatile int*>(VirtualAlloc(nullptr, 65536, MEM_RESERVE, PAGE_NOACCESS));
    g_sink = reserved[16];
  } else if (kind == "execute-data") {
    auto* page = static_cast<unsigned char*>(
        VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    page[0] = 0xC3;  // ret
    reinterpret_cast<void (*)()>(page)();
  } else if (kind == "divide-by-zero") {
    g_sink = 7 / g_divisor;
  } else if (kind == "stack-overflow") {
    g_sink = Recurse(0);
  } else if (kind == "foreign-exception") {
    const ULONG_PTR arguments[3] = {kForeignCppMagic, 0, 0};
    RaiseException(kForeignCppException, EXCEPTION_NONCONTINUABLE, 3, arguments);
  } else if (kind == "handled-exception") {
    HandledExceptions();
  } else {
    return false;
  }
  return true;
}

}  // namespace tessel_substitute
