#include "certs/CommonLibrary.h"

#include <cwchar>
#include <vector>

namespace varnok {

CommonLibrary::CommonLibrary(const wchar_t* name) {
  module = LoadLibraryW(name);
  if (module == nullptr) lastError = GetLastError();
}

CommonLibrary::~CommonLibrary() {
  if (module != nullptr) FreeLibrary(module);
}

FARPROC CommonLibrary::ProcAddress(const wchar_t* name) {
  if (module == nullptr || name == nullptr) return nullptr;

  // Two bytes per character suffice for every single- and double-byte ANSI
  // code page; the terminator is converted with the text.
  const size_t characters = std::wcslen(name);
  std::vector<char> narrow(2 * characters + 2);
  const int converted = WideCharToMultiByte(CP_THREAD_ACP, 0, name, -1, narrow.data(),
                                            static_cast<int>(narrow.size()), nullptr, nullptr);
  const char* exportName = converted != 0 ? narrow.data() : nullptr;

  FARPROC address = GetProcAddress(module, exportName);
  if (address == nullptr) lastError = GetLastError();
  return address;
}

}  // namespace varnok
