// Whole-file access for the foundation: one routine that opens files by
// UTF-8 path (either slash, made absolute and long, names repaired, sharing
// violations and read-only files retried), a handle class, and the read,
// write and query calls built on it. Everything reports into a log; nothing
// throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "foundation/file/PathText.h"
#include "foundation/platform/Platform.h"

namespace rozazar {

class LogBase;
class XString;

// Owns one open file: an operating-system handle or a C runtime stream.
class RozazarHandle {
 public:
  RozazarHandle() noexcept = default;
  explicit RozazarHandle(platform::FileHandle file) noexcept : m_file(file) {}
  RozazarHandle(const RozazarHandle&) = delete;
  RozazarHandle& operator=(const RozazarHandle&) = delete;
  // Closes whichever file is open.
  virtual ~RozazarHandle();

  // Closes the own file and takes over other's, leaving other closed.
  void takeFrom(RozazarHandle& other) noexcept;
  // Takes ownership of a stream (closing what was open before).
  void adoptStream(std::FILE* stream) noexcept;
  void close() noexcept;

  bool isOpen() const noexcept { return m_stream != nullptr || m_file != platform::kNoFile; }
  std::FILE* stream() const noexcept { return m_stream; }
  platform::FileHandle osHandle() const noexcept { return m_file; }

 private:
  std::FILE* m_stream = nullptr;
  platform::FileHandle m_file = platform::kNoFile;
};

// Error classes of openFileWin32.
constexpr int kFileOpenSucceeded = 0;
constexpr int kFileAccessDenied = 1;  // access denied, sharing or lock violation
constexpr int kFileNotFound = 2;      // file or path not found
constexpr int kFileOtherError = 3;

// Opens or creates the file at a UTF-8 path. read only: an existing file;
// read and write: open or create; write only: create or truncate. exclusive
// shares nothing; otherwise reading and writing are shared. repairName
// replaces characters Windows refuses and, when write permits creation,
// prefixes device names. Returns a new handle (the caller deletes it) or
// null with errorClass set.
RozazarHandle* openFileWin32(const char* path, bool read, bool write, bool exclusive, bool hidden,
                             bool append, bool repairName, int& errorClass, LogBase* log) noexcept;

// The system call behind openFileWin32, with up to three retries 50 ms apart
// on a sharing violation. access is kFileRead and/or kFileWrite; attributes
// is kAttributeHidden or kAttributeNormal.
platform::FileHandle openRaw(XString& widePath, std::uint32_t access, bool shareReadWrite,
                             platform::FileDisposition disposition, std::uint32_t attributes,
                             std::uint32_t& errorOut, LogBase* log) noexcept;

// Reads up to n bytes in chunks of at most 64 KiB until n are read or the
// file ends (atEnd).
bool readBytes(RozazarHandle& handle, void* buffer, std::uint32_t n, std::uint32_t& bytesRead,
               bool& atEnd, LogBase* log) noexcept;
// Writes all n bytes, in chunks of at most 10,000,000.
bool writeBytes(RozazarHandle& handle, const void* data, std::uint32_t n, LogBase* log) noexcept;
// The file's size, or -1.
std::int64_t fileSize(RozazarHandle& handle, LogBase* log) noexcept;

bool getAttributes(const char* path, std::uint32_t& attributes, std::uint32_t& errorOut,
                   LogBase* log) noexcept;
// True when the file's attributes can be read; true with uncertain set when
// the failure does not show that the file is missing. A name too long or
// invalid for the file system names no file: false.
bool fileExists(const char* path, bool& uncertain, LogBase* log) noexcept;

// Creates or truncates the file and writes n bytes (none when data is null).
bool writeWholeFile(const XString& path, const void* data, std::uint32_t n, LogBase* log) noexcept;
bool writeWholeFile(const char* path, const void* data, std::uint32_t n, LogBase* log) noexcept;

// Replaces the characters Windows refuses in file names, removes line
// breaks and, when mayCreate, prefixes device names with "_". Each repair is
// logged. Returns whether anything changed.
bool repairFileName(XString& path, bool mayCreate, LogBase* log) noexcept;

}  // namespace rozazar
