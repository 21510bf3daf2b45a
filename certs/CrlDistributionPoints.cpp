// CryptCertificate::CrlDistributionPoints: the URL names of the full-name
// distribution points of the certificate's CRL distribution-points
// extension.

#include <vector>

#include "certs/CryptCertificate.h"

namespace varnok {
namespace {

constexpr char kCrlDistributionPointsOid[] = "2.5.29.31";

}  // namespace

const std::vector<std::wstring>& CryptCertificate::CrlDistributionPoints() {
  if (!crlUrls.empty() || context == nullptr) return crlUrls;

  const CERT_INFO* info = context->pCertInfo;
  PCERT_EXTENSION extension =
      CertFindExtension(kCrlDistributionPointsOid, info->cExtension, info->rgExtension);
  if (extension == nullptr) return crlUrls;

  DWORD size = 0;
  if (!CryptDecodeObject(X509_ASN_ENCODING, kCrlDistributionPointsOid, extension->Value.pbData,
                         extension->Value.cbData, 0, nullptr, &size)) {
    return crlUrls;
  }
  // Decoded structures hold pointers into the buffer: keep it aligned for them.
  std::vector<std::uint64_t> buffer((size + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t));
  if (!CryptDecodeObject(X509_ASN_ENCODING, kCrlDistributionPointsOid, extension->Value.pbData,
                         extension->Value.cbData, 0, buffer.data(), &size)) {
    return crlUrls;
  }

  const auto* points = reinterpret_cast<const CRL_DIST_POINTS_INFO*>(buffer.data());
  for (DWORD p = 0; p < points->cDistPoint; ++p) {
    const CRL_DIST_POINT_NAME& name = points->rgDistPoint[p].DistPointName;
    if (name.dwDistPointNameChoice != CRL_DIST_POINT_FULL_NAME) continue;
    for (DWORD e = 0; e < name.FullName.cAltEntry; ++e) {
      const CERT_ALT_NAME_ENTRY& entry = name.FullName.rgAltEntry[e];
      if (entry.dwAltNameChoice == CERT_ALT_NAME_URL && entry.pwszURL != nullptr) {
        crlUrls.emplace_back(entry.pwszURL);
      }
    }
  }
  return crlUrls;
}

}  // namespace varnok
