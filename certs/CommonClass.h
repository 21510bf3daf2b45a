#pragma once
// Root of the certificate classes: records the Windows error code of the last
// failed operating-system call of the object and turns it into text. Each
// derived class owns exactly one operating-system handle and releases it in
// its destructor.

#include <windows.h>

#include <cstdint>
#include <string>

namespace varnok {

class CommonClass {
 public:
  CommonClass(const CommonClass&) = delete;
  CommonClass& operator=(const CommonClass&) = delete;

  virtual ~CommonClass();

  // "File - " file, LF, "Line - " line, LF, then ErrorText(). A null file
  // counts as empty text.
  virtual std::wstring DiagnosticText(const wchar_t* file, std::int32_t line) const;

  // FormatErrorText(lastError) with the system's message table; empty text
  // when no failure is recorded.
  virtual std::wstring ErrorText() const;

  // Windows error code of the last failed call; 0 when none is recorded.
  std::uint32_t lastError = 0;

 protected:
  CommonClass() = default;
};

}  // namespace varnok
