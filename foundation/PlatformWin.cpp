// Windows implementation of the platform seam.
#include <windows.h>

#include <cstring>

#include "Platform.h"

namespace rozazar::platform {

namespace {

static_assert(sizeof(CRITICAL_SECTION) <= sizeof(LockStorage::bytes), "lock storage too small");
static_assert(alignof(CRITICAL_SECTION) <= alignof(LockStorage), "lock storage misaligned");

CRITICAL_SECTION* criticalSection(LockStorage& lock) noexcept {
  return reinterpret_cast<CRITICAL_SECTION*>(lock.bytes);
}

}  // namespace

void lockInit(LockStorage& lock) noexcept {
  std::memset(lock.bytes, 0, sizeof lock.bytes);
  InitializeCriticalSection(criticalSection(lock));
}

void lockEnter(LockStorage& lock) noexcept { EnterCriticalSection(criticalSection(lock)); }

void lockLeave(LockStorage& lock) noexcept { LeaveCriticalSection(criticalSection(lock)); }

void lockDestroy(LockStorage& lock) noexcept { DeleteCriticalSection(criticalSection(lock)); }

std::uint32_t tickCount() noexcept { return GetTickCount(); }

void sleepMilliseconds(std::uint32_t milliseconds) noexcept { Sleep(milliseconds); }

std::uint32_t lastSystemError() noexcept { return GetLastError(); }

std::size_t systemErrorText(std::uint32_t code, char* out, std::size_t outSize) noexcept {
  if (out == nullptr || outSize == 0) return 0;
  out[0] = '\0';
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  if (length == 0 || text == nullptr) return 0;
  DWORD kept = length;
  while (kept > 0 && (text[kept - 1] == L'\r' || text[kept - 1] == L'\n' || text[kept - 1] == L' '))
    --kept;
  // Drop whole characters from the end until the UTF-8 form fits.
  const auto utf8Length = [text](DWORD count) {
    return WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(count), nullptr, 0, nullptr,
                               nullptr);
  };
  while (kept > 0 && static_cast<std::size_t>(utf8Length(kept)) > outSize - 1) {
    --kept;
    if (kept > 0 && IS_HIGH_SURROGATE(text[kept - 1])) --kept;
  }
  int written = 0;
  if (kept > 0) {
    written = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(kept), out,
                                  static_cast<int>(outSize - 1), nullptr, nullptr);
  }
  LocalFree(text);
  if (written <= 0) {
    out[0] = '\0';
    return 0;
  }
  out[written] = '\0';
  return static_cast<std::size_t>(written);
}

int ansiCodePage() noexcept { return static_cast<int>(GetACP()); }

}  // namespace rozazar::platform
