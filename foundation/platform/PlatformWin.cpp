// Windows implementation of the platform seam.
#include <windows.h>

#include <io.h>
#include <stdio.h>

#include <cstring>

#include "foundation/platform/Platform.h"
#include "foundation/platform/SystemCalls.h"

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

static void nativeSleepMilliseconds(std::uint32_t milliseconds) noexcept { Sleep(milliseconds); }

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

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide text is UTF-16");

namespace {

const wchar_t* wide(const char16_t* text) noexcept {
  return reinterpret_cast<const wchar_t*>(text);
}
HANDLE handleOf(FileHandle file) noexcept { return reinterpret_cast<HANDLE>(file); }

}  // namespace

static FileHandle nativeFileOpen(const char16_t* path, std::uint32_t access, bool shareReadWrite,
                                 FileDisposition disposition, bool hidden,
                                 std::uint32_t& error) noexcept {
  DWORD desired = 0;
  if ((access & kFileRead) != 0) desired |= GENERIC_READ;
  if ((access & kFileWrite) != 0) desired |= GENERIC_WRITE;
  const DWORD share = shareReadWrite ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0;
  DWORD creation = OPEN_EXISTING;
  if (disposition == FileDisposition::kOpenAlways) creation = OPEN_ALWAYS;
  if (disposition == FileDisposition::kCreateAlways) creation = CREATE_ALWAYS;
  const DWORD attributes = hidden ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL;
  const HANDLE file =
      CreateFileW(wide(path), desired, share, nullptr, creation, attributes, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = GetLastError();
    return kNoFile;
  }
  error = 0;
  return reinterpret_cast<FileHandle>(file);
}

void fileClose(FileHandle file) noexcept {
  if (file != kNoFile) CloseHandle(handleOf(file));
}

static bool nativeFileRead(FileHandle file, void* buffer, std::uint32_t n, std::uint32_t& bytesRead,
                           std::uint32_t& error) noexcept {
  DWORD got = 0;
  if (!ReadFile(handleOf(file), buffer, n, &got, nullptr)) {
    bytesRead = 0;
    error = GetLastError();
    return false;
  }
  bytesRead = got;
  return true;
}

static bool nativeFileWrite(FileHandle file, const void* data, std::uint32_t n,
                            std::uint32_t& bytesWritten, std::uint32_t& error) noexcept {
  DWORD written = 0;
  if (!WriteFile(handleOf(file), data, n, &written, nullptr)) {
    bytesWritten = written;
    error = GetLastError();
    return false;
  }
  bytesWritten = written;
  return true;
}

bool fileSeekToEnd(FileHandle file, std::uint32_t& error) noexcept {
  LARGE_INTEGER distance{};
  if (!SetFilePointerEx(handleOf(file), distance, nullptr, FILE_END)) {
    error = GetLastError();
    return false;
  }
  return true;
}

bool fileSize(FileHandle file, std::int64_t& size, std::uint32_t& error) noexcept {
  LARGE_INTEGER value{};
  if (!GetFileSizeEx(handleOf(file), &value)) {
    error = GetLastError();
    return false;
  }
  size = value.QuadPart;
  return true;
}

bool streamFileSize(void* stream, std::int64_t& size) noexcept {
  const int descriptor = _fileno(static_cast<FILE*>(stream));
  if (descriptor < 0) return false;
  size = _filelengthi64(descriptor);
  return size >= 0;
}

static bool nativeFileAttributes(const char16_t* path, std::uint32_t& attributes,
                                 std::uint32_t& error) noexcept {
  const DWORD value = GetFileAttributesW(wide(path));
  if (value == INVALID_FILE_ATTRIBUTES) {
    error = GetLastError();
    return false;
  }
  attributes = value;
  return true;
}

static bool nativeSetFileAttributes(const char16_t* path, std::uint32_t attributes,
                                    std::uint32_t& error) noexcept {
  if (!SetFileAttributesW(wide(path), attributes)) {
    error = GetLastError();
    return false;
  }
  return true;
}

bool fullPathName(const char16_t* path, char16_t* out, std::size_t outCount) noexcept {
  if (outCount == 0) return false;
  const DWORD length = GetFullPathNameW(wide(path), static_cast<DWORD>(outCount),
                                        reinterpret_cast<wchar_t*>(out), nullptr);
  return length > 0 && length < outCount;
}

bool currentDirectory(char16_t* out, std::size_t outCount) noexcept {
  if (outCount == 0) return false;
  const DWORD length =
      GetCurrentDirectoryW(static_cast<DWORD>(outCount), reinterpret_cast<wchar_t*>(out));
  if (length > 0 && length < outCount) return true;
  // The ANSI call as a fallback, widened character by character through
  // the ANSI code page.
  char ansi[2048];
  const DWORD ansiLength = GetCurrentDirectoryA(sizeof ansi, ansi);
  if (ansiLength == 0 || ansiLength >= sizeof ansi) return false;
  const int units =
      MultiByteToWideChar(CP_ACP, 0, ansi, static_cast<int>(ansiLength),
                          reinterpret_cast<wchar_t*>(out), static_cast<int>(outCount - 1));
  if (units <= 0) return false;
  out[units] = 0;
  return true;
}

bool usesLongPathPrefix() noexcept { return true; }

std::size_t fileErrorText(std::uint32_t code, char* out, std::size_t outSize) noexcept {
  return systemErrorText(code, out, outSize);
}

bool runningUnderWine() noexcept {
  // Wine's ntdll exports its version; Windows' does not.
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

const SystemCalls& nativeSystemCalls() noexcept {
  static const SystemCalls calls = {&nativeFileOpen,          &nativeFileRead,
                                    &nativeFileWrite,         &nativeFileAttributes,
                                    &nativeSetFileAttributes, &nativeSleepMilliseconds};
  return calls;
}

}  // namespace rozazar::platform
