#include "certs/KeyStorageProviders.h"

#include <windows.h>

#include <ncrypt.h>

#include "certs/CryptoHandles.h"
#include "foundation/platform/Platform.h"

namespace varnok {

namespace {

// The providers every current Windows installs, under their documented
// names (MS_KEY_STORAGE_PROVIDER, MS_SMART_CARD_KEY_STORAGE_PROVIDER,
// MS_PLATFORM_CRYPTO_PROVIDER).
std::vector<std::wstring> DocumentedMicrosoftProviders() {
  return {L"Microsoft Software Key Storage Provider", L"Microsoft Smart Card Key Storage Provider",
          L"Microsoft Platform Crypto Provider"};
}

}  // namespace

std::optional<std::vector<std::wstring>> KeyStorageProviderNames() {
  // Wine's NCryptEnumStorageProviders is an unimplemented stub that ends the
  // process when called, and NCryptOpenStorageProvider accepts any name, so
  // it cannot tell real providers either. Under Wine the list is therefore
  // the documented names of the Microsoft providers.
  if (rozazar::platform::runningUnderWine()) return DocumentedMicrosoftProviders();

  DWORD count = 0;
  ProviderNames list;
  if (NCryptEnumStorageProviders(&count, list.receive(), 0) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::vector<std::wstring> names;
  names.reserve(count);
  for (DWORD i = 0; i < count; ++i) {
    names.emplace_back(list.get()[i].pszName != nullptr ? list.get()[i].pszName : L"");
  }
  return names;
}

}  // namespace varnok
