// The one seam between the portable foundation and the operating system.
// Each platform has one implementation file (PlatformWin.cpp, PlatformPosix.cpp);
// the build picks the file, so no portable code tests the platform itself.
// The file calls and the sleep go through a table that tests may replace
// (SystemCalls.h).
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

// Files. Paths are zero-terminated UTF-16; error codes are Windows system
// error numbers on every platform (the POSIX implementation translates errno:
// 2 file not found, 3 path not found, 5 access denied, 32 sharing
// violation, ...), so callers classify failures one way.
using FileHandle = std::intptr_t;
constexpr FileHandle kNoFile = -1;

constexpr std::uint32_t kFileRead = 1;
constexpr std::uint32_t kFileWrite = 2;

enum class FileDisposition { kOpenExisting, kOpenAlways, kCreateAlways };

// Windows attribute bits, reported the same way on POSIX.
constexpr std::uint32_t kAttributeReadOnly = 0x1;
constexpr std::uint32_t kAttributeHidden = 0x2;
constexpr std::uint32_t kAttributeDirectory = 0x10;
constexpr std::uint32_t kAttributeNormal = 0x80;

// Opens or creates a file; kNoFile with error set on failure. shareReadWrite
// false asks for exclusive access.
FileHandle fileOpen(const char16_t* path, std::uint32_t access, bool shareReadWrite,
                    FileDisposition disposition, bool hidden, std::uint32_t& error) noexcept;
void fileClose(FileHandle file) noexcept;
// Reads up to n bytes; bytesRead 0 at the end of the file.
bool fileRead(FileHandle file, void* buffer, std::uint32_t n, std::uint32_t& bytesRead,
              std::uint32_t& error) noexcept;
bool fileWrite(FileHandle file, const void* data, std::uint32_t n, std::uint32_t& bytesWritten,
               std::uint32_t& error) noexcept;
bool fileSeekToEnd(FileHandle file, std::uint32_t& error) noexcept;
bool fileSize(FileHandle file, std::int64_t& size, std::uint32_t& error) noexcept;
// The size of the file under a C runtime stream (flushed first by the caller).
bool streamFileSize(void* stream, std::int64_t& size) noexcept;
bool fileAttributes(const char16_t* path, std::uint32_t& attributes, std::uint32_t& error) noexcept;
bool setFileAttributes(const char16_t* path, std::uint32_t attributes,
                       std::uint32_t& error) noexcept;
// The system's absolute form of path, zero-terminated into out (outCount
// units); false when it fails or does not fit.
bool fullPathName(const char16_t* path, char16_t* out, std::size_t outCount) noexcept;
bool currentDirectory(char16_t* out, std::size_t outCount) noexcept;
// Whether absolute paths take the \\?\ long-path form (Windows only).
bool usesLongPathPrefix() noexcept;
// The system's text for a file error code, as systemErrorText.
std::size_t fileErrorText(std::uint32_t code, char* out, std::size_t outSize) noexcept;

// True when the process runs under Wine rather than on Windows; false on
// POSIX systems.
bool runningUnderWine() noexcept;

// The process's ANSI code page (a Windows code page number). POSIX systems
// work in UTF-8 and report 65001.
int ansiCodePage() noexcept;

}  // namespace rozazar::platform
