#pragma once
// Holds one dynamically loaded library for the lifetime of the object.

#include "certs/CommonClass.h"

namespace varnok {

class CommonLibrary : public CommonClass {
 public:
  // Loads `name` with LoadLibraryW. On failure the module stays null and
  // lastError holds the reason (126: not found). Never throws.
  explicit CommonLibrary(const wchar_t* name);
  ~CommonLibrary() override;

  HMODULE Module() const { return module; }
  // Gives up the library without freeing it; the caller takes it over.
  HMODULE Release() {
    HMODULE released = module;
    module = nullptr;
    return released;
  }

  // Address of the export `name`, looked up by its 8-bit name in the thread's
  // ANSI code page. Null when the library is not loaded or `name` is null
  // (lastError unchanged), or when the export is missing (lastError set from
  // GetLastError, typically 127).
  FARPROC ProcAddress(const wchar_t* name);

 private:
  HMODULE module = nullptr;
};

}  // namespace varnok
