#include "app/LibrarySearchOrder.h"

#include <windows.h>

#include <string>

#include "foundation/platform/Platform.h"

namespace {

std::wstring ApplicationFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = ::GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (length == 0) return std::wstring();
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

}  // namespace

void RemoveCurrentDirectoryFromLibrarySearch() {
  // Windows drops the current directory for an empty DLL directory.
  ::SetDllDirectoryW(L"");
  // Wine (8.0) takes the empty DLL directory for a relative path, that is
  // the current directory again. There the application's own folder, which
  // comes first in the order anyway, takes the DLL directory's place: any
  // DLL directory replaces the current directory in the order.
  if (rozazar::platform::runningUnderWine()) {
    std::wstring folder = ApplicationFolder();
    if (!folder.empty()) ::SetDllDirectoryW(folder.c_str());
  }
}
