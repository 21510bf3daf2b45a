// CryptCertificate::VerifyChain: the chain up to a root, with revocation
// checked for every certificate except the root, judged under the base
// policy.

#include "certs/ChainParameters.h"
#include "certs/CryptCertificate.h"
#include "certs/StatusMessage.h"

namespace varnok {

VerificationResult CryptCertificate::VerifyChain(HCERTSTORE additionalStore) {
  CERT_CHAIN_PARA chainPara = {};
  chainPara.cbSize = kChainParaUsageOnlySize;
  chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
  chainPara.RequestedUsage.Usage.cUsageIdentifier = 0;
  chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = nullptr;

  PCCERT_CHAIN_CONTEXT built = nullptr;
  if (!CertGetCertificateChain(nullptr, context, nullptr, additionalStore, &chainPara,
                               CERT_CHAIN_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT, nullptr, &built)) {
    lastError = GetLastError();
    return {ErrorText(), -1};
  }
  if (chain != nullptr) CertFreeCertificateChain(chain);
  chain = built;

  CERT_CHAIN_POLICY_PARA policyPara = {};
  policyPara.cbSize = kPolicyParaSize;
  CERT_CHAIN_POLICY_STATUS policyStatus = {};
  policyStatus.cbSize = kPolicyStatusSize;
  if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_BASE, chain, &policyPara,
                                        &policyStatus)) {
    lastError = GetLastError();
    return {ErrorText(), -1};
  }
  return {StatusMessage(policyStatus.dwError), static_cast<std::int32_t>(policyStatus.dwError)};
}

}  // namespace varnok
