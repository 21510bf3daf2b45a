#include "certs/CryptStore.h"

namespace varnok {

CryptStore::CryptStore(std::wstring name) {
  store = CertOpenSystemStoreW(0, name.c_str());
  if (store == nullptr) lastError = GetLastError();
}

CryptStore::~CryptStore() {
  if (store != nullptr) CertCloseStore(store, 0);
}

}  // namespace varnok
