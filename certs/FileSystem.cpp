#include "certs/FileSystem.h"

#include <system_error>

#include "foundation/object/UniqueHandle.h"
#include "foundation/platform/Platform.h"

namespace varnok {
namespace fs = std::filesystem;

namespace {

namespace platform = rozazar::platform;

using FileHandle =
    rozazar::UniqueHandle<platform::FileHandle, &platform::fileClose, platform::kNoFile>;

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide text is UTF-16");

// Opens the file at `path` for `access`, shared for reading and writing.
FileHandle OpenShared(const wchar_t* path, std::uint32_t access,
                      platform::FileDisposition disposition) {
  if (path == nullptr) return FileHandle();
  std::uint32_t error = 0;
  return FileHandle(platform::fileOpen(reinterpret_cast<const char16_t*>(path), access, true,
                                       disposition, false, error));
}

[[noreturn]] void Raise(const char* operation, const fs::path& path, std::error_code error) {
  throw fs::filesystem_error(operation, path, error);
}

}  // namespace

bool ReadFileBytes(const wchar_t* path, ByteList& bytes) {
  const FileHandle file =
      OpenShared(path, platform::kFileRead, platform::FileDisposition::kOpenExisting);
  if (!file) return false;
  std::uint8_t chunk[64 * 1024];
  std::uint32_t got = 0;
  std::uint32_t error = 0;
  ByteList read;
  for (;;) {
    if (!platform::fileRead(file.get(), chunk, sizeof chunk, got, error)) return false;
    if (got == 0) break;
    read.insert(read.end(), chunk, chunk + got);
  }
  bytes.insert(bytes.end(), read.begin(), read.end());
  return true;
}

bool WriteFileBytes(const wchar_t* path, const ByteList& bytes) {
  const FileHandle file =
      OpenShared(path, platform::kFileWrite, platform::FileDisposition::kCreateAlways);
  if (!file) return false;
  const std::uint8_t* next = bytes.data();
  std::size_t left = bytes.size();
  while (left != 0) {
    const std::uint32_t want = left > 0x40000000u ? 0x40000000u : static_cast<std::uint32_t>(left);
    std::uint32_t written = 0;
    std::uint32_t error = 0;
    if (!platform::fileWrite(file.get(), next, want, written, error) || written == 0) return false;
    next += written;
    left -= written;
  }
  return true;
}

// The standard library's own throwing overloads name the operation they
// happen to call inside (exists reports "status" in some libraries), so each
// helper calls the error-code overload and raises its own error.

bool PathExists(const fs::path& path) {
  std::error_code error;
  const bool exists = fs::exists(path, error);
  if (error) Raise("exists", path, error);
  return exists;
}

bool IsDirectoryPath(const fs::path& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error && status.type() != fs::file_type::not_found) Raise("status", path, error);
  return status.type() == fs::file_type::directory;
}

bool CreateDirectoryPath(const fs::path& path) {
  std::error_code error;
  const bool created = fs::create_directory(path, error);
  if (error) Raise("create_directory", path, error);
  return created;
}

bool RemovePath(const fs::path& path) {
  std::error_code error;
  const bool removed = fs::remove(path, error);
  if (error) Raise("remove", path, error);
  return removed;
}

}  // namespace varnok
