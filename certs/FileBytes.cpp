#include "FileBytes.h"

#include <windows.h>

namespace varnok {
namespace {

// Owns one file handle.
class FileHandle {
 public:
  FileHandle(const wchar_t* path, DWORD access, DWORD disposition)
      : handle_(path == nullptr
                    ? INVALID_HANDLE_VALUE
                    : CreateFileW(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  disposition, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~FileHandle() {
    if (IsOpen()) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

bool ReadFileBytes(const wchar_t* path, ByteList& bytes) {
  FileHandle file(path, GENERIC_READ, OPEN_EXISTING);
  if (!file.IsOpen()) return false;
  std::uint8_t chunk[64 * 1024];
  DWORD got = 0;
  while (ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr) && got != 0) {
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  return true;
}

bool WriteFileBytes(const wchar_t* path, const ByteList& bytes) {
  FileHandle file(path, GENERIC_WRITE, CREATE_ALWAYS);
  if (!file.IsOpen()) return false;
  const std::uint8_t* next = bytes.data();
  size_t left = bytes.size();
  while (left != 0) {
    const DWORD want = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
    DWORD written = 0;
    if (!WriteFile(file.Get(), next, want, &written, nullptr) || written == 0) break;
    next += written;
    left -= written;
  }
  return true;
}

}  // namespace varnok
