#include <cstdio>

#include "console/LibraryGuard.h"

namespace {

std::wstring Hex(std::uint64_t value, int digits) {
  wchar_t text[24] = {};
  std::swprintf(text, 24, L"0x%0*llX", digits, static_cast<unsigned long long>(value));
  return text;
}

std::wstring Address(const void* address) {
  return Hex(reinterpret_cast<std::uintptr_t>(address), static_cast<int>(2 * sizeof(void*)));
}

// The system's text for an exception code (the status texts of ntdll), on
// one line, or empty when the system has none.
std::wstring SystemName(std::uint32_t code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM |
          FORMAT_MESSAGE_IGNORE_INSERTS,
      GetModuleHandleW(L"ntdll.dll"), code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  std::wstring name;
  if (length != 0 && text != nullptr) name.assign(text, length);
  if (text != nullptr) LocalFree(text);
  for (wchar_t& c : name) {
    if (c == L'\r' || c == L'\n') c = L' ';
  }
  while (!name.empty() && name.back() == L' ') name.pop_back();
  return name;
}

// `address` as module+offset when it lies in a loaded module, else as is.
std::wstring Place(const void* address) {
  const HMODULE module = ModuleOf(address);
  wchar_t path[MAX_PATH + 1] = {};
  if (module != nullptr && GetModuleFileNameW(module, path, MAX_PATH) != 0) {
    std::wstring name = path;
    const size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    const auto offset =
        reinterpret_cast<std::uintptr_t>(address) - reinterpret_cast<std::uintptr_t>(module);
    return name + L"+" + Hex(offset, 0);
  }
  return Address(address);
}

const wchar_t* Operation(std::uintptr_t kind) {
  switch (kind) {
    case 0:
      return L"read";
    case 1:
      return L"write";
    case 8:
      return L"execute";
    default:
      return L"access";
  }
}

}  // namespace

std::wstring DescribeLibraryFault(const wchar_t* exportName, const LibraryFault& fault) {
  std::wstring text = std::wstring(exportName != nullptr ? exportName : L"") +
                      L" failed: exception " + Hex(fault.code, 8);
  const std::wstring name = SystemName(fault.code);
  if (!name.empty()) text += L" (" + name + L")";
  if (fault.caller != nullptr) {
    text += L" at " + Place(fault.caller) + L" (in " + Place(fault.address) + L")";
  } else {
    text += L" at " + Place(fault.address);
  }
  if (fault.hasAccess) {
    text +=
        std::wstring(L", ") + Operation(fault.accessKind) + L" at " + Address(fault.accessAddress);
  }
  return text;
}
