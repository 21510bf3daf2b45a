// The entry points of the replaceable system calls: each forwards to the
// table in use.
#include "foundation/platform/SystemCalls.h"

namespace rozazar::platform {

SystemCalls& systemCalls() noexcept {
  static SystemCalls calls = nativeSystemCalls();
  return calls;
}

FileHandle fileOpen(const char16_t* path, std::uint32_t access, bool shareReadWrite,
                    FileDisposition disposition, bool hidden, std::uint32_t& error) noexcept {
  return systemCalls().open(path, access, shareReadWrite, disposition, hidden, error);
}

bool fileRead(FileHandle file, void* buffer, std::uint32_t n, std::uint32_t& bytesRead,
              std::uint32_t& error) noexcept {
  return systemCalls().read(file, buffer, n, bytesRead, error);
}

bool fileWrite(FileHandle file, const void* data, std::uint32_t n, std::uint32_t& bytesWritten,
               std::uint32_t& error) noexcept {
  return systemCalls().write(file, data, n, bytesWritten, error);
}

bool fileAttributes(const char16_t* path, std::uint32_t& attributes,
                    std::uint32_t& error) noexcept {
  return systemCalls().attributes(path, attributes, error);
}

bool setFileAttributes(const char16_t* path, std::uint32_t attributes,
                       std::uint32_t& error) noexcept {
  return systemCalls().setAttributes(path, attributes, error);
}

void sleepMilliseconds(std::uint32_t milliseconds) noexcept { systemCalls().sleep(milliseconds); }

}  // namespace rozazar::platform
