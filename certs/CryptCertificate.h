#pragma once
// One certificate with what the services learn about it: its CRL
// distribution-point URLs and the chain of its last verification.

#include <windows.h>

#include <wincrypt.h>

#include <string>
#include <vector>

#include "certs/CommonClass.h"
#include "certs/VerificationResult.h"

namespace varnok {

class CryptCertificate : public CommonClass {
 public:
  // Takes its own reference to `certificate`; the caller's reference stays
  // the caller's.
  explicit CryptCertificate(PCCERT_CONTEXT certificate);
  ~CryptCertificate() override;

  PCCERT_CONTEXT Context() const { return context; }
  // The chain built by the last successful VerifyChain, or null.
  PCCERT_CHAIN_CONTEXT Chain() const { return chain; }

  // The URLs of the certificate's CRL distribution points, in extension
  // order and whatever their scheme. Read from the certificate on the first
  // call that finds the list empty, then kept.
  const std::vector<std::wstring>& CrlDistributionPoints();

  // Builds the chain (revocation checked for every certificate but the root;
  // `additionalStore` searched beside the system's stores, may be null) and
  // judges it under the base policy. Code 0 or the policy's HRESULT with its
  // StatusMessage; -1 with ErrorText() when a system call fails.
  VerificationResult VerifyChain(HCERTSTORE additionalStore);

 private:
  std::vector<std::wstring> crlUrls;
  PCCERT_CONTEXT context = nullptr;
  PCCERT_CHAIN_CONTEXT chain = nullptr;
};

}  // namespace varnok
