// CryptCertificate::VerifyChain: the chain up to a root, with revocation
// checked for every certificate except the root, judged under the base
// policy.

#include <cstddef>

#include "CryptCertificate.h"
#include "StatusMessage.h"

namespace varnok {
namespace {

// The usage-only form of the chain parameters: size and requested usage,
// whatever extra fields a header version adds after them.
constexpr DWORD kChainParaUsageOnlySize = 16;
static_assert(offsetof(CERT_CHAIN_PARA, RequestedUsage) + sizeof(CERT_USAGE_MATCH) ==
                  kChainParaUsageOnlySize,
              "the usage-only chain parameters are 16 bytes");
constexpr DWORD kPolicyParaSize = 12;
constexpr DWORD kPolicyStatusSize = 20;
static_assert(sizeof(CERT_CHAIN_POLICY_PARA) == kPolicyParaSize, "policy parameters are 12 bytes");
static_assert(sizeof(CERT_CHAIN_POLICY_STATUS) == kPolicyStatusSize, "policy status is 20 bytes");

}  // namespace

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
