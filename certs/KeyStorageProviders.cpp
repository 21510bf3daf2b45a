#include "KeyStorageProviders.h"

#include <windows.h>

#include <ncrypt.h>

namespace varnok {

namespace {

// Owns the provider list that NCryptEnumStorageProviders allocates.
class ProviderList {
 public:
  ProviderList() = default;
  ~ProviderList() {
    if (entries != nullptr) NCryptFreeBuffer(entries);
  }
  ProviderList(const ProviderList&) = delete;
  ProviderList& operator=(const ProviderList&) = delete;

  DWORD count = 0;
  NCryptProviderName* entries = nullptr;
};

// The providers every current Windows installs, under their documented
// names (MS_KEY_STORAGE_PROVIDER, MS_SMART_CARD_KEY_STORAGE_PROVIDER,
// MS_PLATFORM_CRYPTO_PROVIDER).
std::vector<std::wstring> DocumentedMicrosoftProviders() {
  return {L"Microsoft Software Key Storage Provider", L"Microsoft Smart Card Key Storage Provider",
          L"Microsoft Platform Crypto Provider"};
}

}  // namespace

bool RunningUnderWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::optional<std::vector<std::wstring>> KeyStorageProviderNames() {
  // Wine's NCryptEnumStorageProviders is an unimplemented stub that ends the
  // process when called, and NCryptOpenStorageProvider accepts any name, so
  // it cannot tell real providers either. Under Wine the list is therefore
  // the documented names of the Microsoft providers.
  if (RunningUnderWine()) return DocumentedMicrosoftProviders();

  ProviderList list;
  if (NCryptEnumStorageProviders(&list.count, &list.entries, 0) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::vector<std::wstring> names;
  names.reserve(list.count);
  for (DWORD i = 0; i < list.count; ++i) {
    names.emplace_back(list.entries[i].pszName != nullptr ? list.entries[i].pszName : L"");
  }
  return names;
}

}  // namespace varnok
