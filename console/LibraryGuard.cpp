// Built without C++ exceptions: the x64 frame below carries a handler of its
// own in its unwind data, which a C++ handler of the compiler would displace.
#include "console/LibraryGuard.h"

#include <intrin.h>

#include <cstdint>

namespace {

// The guard of the innermost guarded call on this thread: where the call
// resumes when a fault escapes it, and what is recorded about the fault.
struct ActiveGuard {
  CONTEXT resume;
  volatile LONG faulted;
  LibraryFault* fault;
  ActiveGuard* outer;
  // The top of the stack where the exception happened. The handler only
  // copies it; it is searched for return addresses after the guarded frame
  // has resumed, outside the exception's dispatch.
  std::uintptr_t stackTop[256];
  unsigned stackTopWords;
};

thread_local ActiveGuard* t_guard = nullptr;

bool EscapesTheLibrary(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_STACK_OVERFLOW:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_NONCONTINUABLE_EXCEPTION:
    case 0xE06D7363:  // a C++ exception of another compiler's runtime
      return true;
    default:
      return false;
  }
}

void StackBounds(std::uintptr_t& low, std::uintptr_t& high);

// Marks the lowest committed page of the stack as its guard page again. The
// stack overflow used up the guard page; without a new one the next
// overflow would run into the end of the stack unannounced.
void RestoreStackGuard() {
  std::uintptr_t low = 0;
  std::uintptr_t high = 0;
  StackBounds(low, high);
  SYSTEM_INFO system = {};
  GetSystemInfo(&system);
  DWORD previous = 0;
  VirtualProtect(reinterpret_cast<void*>(low), system.dwPageSize, PAGE_READWRITE | PAGE_GUARD,
                 &previous);
}

bool InSystemModule(HMODULE module) {
  return module != nullptr &&
         (module == GetModuleHandleW(L"ntdll.dll") || module == GetModuleHandleW(L"kernel32.dll") ||
          module == GetModuleHandleW(L"kernelbase.dll"));
}

// The bounds of this thread's stack. The system header reads the thread
// block through a zero-length array, which the compiler's bounds check takes
// for an overrun.
void StackBounds(std::uintptr_t& low, std::uintptr_t& high) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
  const auto* tib = reinterpret_cast<const NT_TIB*>(NtCurrentTeb());
#pragma GCC diagnostic pop
  low = reinterpret_cast<std::uintptr_t>(tib->StackLimit);
  high = reinterpret_cast<std::uintptr_t>(tib->StackBase);
}

// The word at `address` when it lies within this thread's stack.
bool ReadStackWord(std::uintptr_t address, std::uintptr_t& word) {
  std::uintptr_t low = 0;
  std::uintptr_t high = 0;
  StackBounds(low, high);
  if (address < low || address > high - sizeof word) return false;
  word = *reinterpret_cast<const std::uintptr_t*>(address);
  return true;
}

// The first of `words` that points into a module other than the system's
// and this program's: the library's place when the exception's own address
// lies outside it.
const void* FirstLibraryAddress(const std::uintptr_t* words, unsigned count) {
  const HMODULE self = ModuleOf(reinterpret_cast<const void*>(&ModuleOf));
  for (unsigned i = 0; i < count; ++i) {
    const auto* address = reinterpret_cast<const void*>(words[i]);
    const HMODULE module = ModuleOf(address);
    if (module != nullptr && module != self && !InSystemModule(module)) return address;
  }
  return nullptr;
}

#if defined(__i386__)
struct Registration {
  Registration* next;
  void* handler;
};
#endif

}  // namespace

HMODULE ModuleOf(const void* address) {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      static_cast<LPCWSTR>(address), &module);
  return module;
}

// The frame handler of CallGuarded. For a fault it records, it resumes the
// guarded frame where it captured its context, as a second return with the
// fault flag set; the library's frames in between are abandoned.
extern "C" EXCEPTION_DISPOSITION __cdecl TesselLibraryGuardHandler(EXCEPTION_RECORD* record, void*,
                                                                   CONTEXT* context, void*) {
  ActiveGuard* guard = t_guard;
  if (guard == nullptr || (record->ExceptionFlags & EXCEPTION_UNWIND) != 0 ||
      !EscapesTheLibrary(record->ExceptionCode)) {
    return ExceptionContinueSearch;
  }
  LibraryFault& fault = *guard->fault;
  fault.code = record->ExceptionCode;
  fault.address = record->ExceptionAddress;
  fault.hasAccess =
      record->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record->NumberParameters >= 2;
  if (fault.hasAccess) {
    fault.accessKind = record->ExceptionInformation[0];
    fault.accessAddress = reinterpret_cast<const void*>(record->ExceptionInformation[1]);
  }
#if defined(__x86_64__)
  const std::uintptr_t top = context->Rsp;
#else
  const std::uintptr_t top = context->Esp;
#endif
  guard->stackTopWords = 0;
  for (unsigned i = 0; i < 256; ++i) {
    if (!ReadStackWord(top + i * sizeof(std::uintptr_t), guard->stackTop[i])) break;
    guard->stackTopWords = i + 1;
  }
  guard->faulted = 1;
#if defined(__x86_64__)
  *context = guard->resume;
#else
  // The resume point keeps no value in other registers (see CallGuarded).
  context->Eip = guard->resume.Eip;
  context->Esp = guard->resume.Esp;
  context->Ebp = guard->resume.Ebp;
#endif
  // The raising code is not continued: the guarded frame resumes instead.
  // A noncontinuable exception would otherwise be refused that resumption.
  record->ExceptionFlags &= ~static_cast<DWORD>(EXCEPTION_NONCONTINUABLE);
  return ExceptionContinueExecution;
}

__attribute__((noinline)) bool CallGuarded(GuardedCall call, void* context,
                                           LibraryFault& fault) noexcept {
#if defined(__x86_64__)
  __asm__ __volatile__(".seh_handler TesselLibraryGuardHandler, @except\n\t.text\n");
#endif
  ActiveGuard guard;
  guard.faulted = 0;
  guard.fault = &fault;
  guard.outer = t_guard;
#if defined(__i386__)
  Registration registration = {reinterpret_cast<Registration*>(__readfsdword(0)),
                               reinterpret_cast<void*>(&TesselLibraryGuardHandler)};
#endif
  // A fault resumes here a second time, with `faulted` set.
#if defined(__x86_64__)
  RtlCaptureContext(&guard.resume);
#else
  // On x86 RtlCaptureContext gives the context of its caller's caller. The
  // resume point is taken here instead: the frame and stack pointers and the
  // address just past it. Every other register counts as overwritten there,
  // so nothing lives in one across it.
  __asm__ __volatile__(
      "movl %%ebp, %0\n\t"
      "movl %%esp, %1\n\t"
      "movl $1f, %2\n"
      "1:"
      : "=m"(guard.resume.Ebp), "=m"(guard.resume.Esp), "=m"(guard.resume.Eip)
      :
      : "eax", "ebx", "ecx", "edx", "esi", "edi", "memory");
#endif
  if (guard.faulted == 0) {
    t_guard = &guard;
#if defined(__i386__)
    __writefsdword(0, reinterpret_cast<DWORD>(&registration));
#endif
    call(context);
  }
#if defined(__i386__)
  __writefsdword(0, reinterpret_cast<DWORD>(registration.next));
#endif
  t_guard = guard.outer;
  if (guard.faulted == 0) return true;
  if (fault.code == EXCEPTION_STACK_OVERFLOW) RestoreStackGuard();
  // Raised through the system's functions, or a call into memory that is
  // no code: the library's place is a return address on the stack.
  const HMODULE module = ModuleOf(fault.address);
  if (module == nullptr || InSystemModule(module)) {
    fault.caller = FirstLibraryAddress(guard.stackTop, guard.stackTopWords);
  }
  return false;
}
