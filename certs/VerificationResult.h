#pragma once
// The outcome of a certificate check, returned by value.

#include <cstdint>
#include <string>

namespace varnok {

struct VerificationResult {
  // Text meant for the user; may contain line feeds.
  std::wstring message;
  // 0: the certificate is good; a Windows HRESULT: a definite finding (such
  // as 0x80092010, revoked); -1: the check itself failed and `message` holds
  // the error text of the object that ran it.
  std::int32_t code = 0;
};

}  // namespace varnok
