#pragma once
// An open system certificate store of the current user.

#include <windows.h>

#include <wincrypt.h>

#include <string>

#include "certs/CommonClass.h"

namespace varnok {

class CryptStore : public CommonClass {
 public:
  // Opens the current user's system store `name` ("MY", "ROOT") without a
  // cryptographic provider. On failure the store stays null and lastError
  // holds the reason; never throws.
  explicit CryptStore(std::wstring name);
  ~CryptStore() override;

  HCERTSTORE Store() const { return store; }

 private:
  HCERTSTORE store = nullptr;
};

}  // namespace varnok
