// Reading the CRL distribution points of a certificate.

#include <gtest/gtest.h>

#include "certs/CryptCertificate.h"
#include "foundation/platform/Platform.h"
#include "tests/certs/TestPki.h"

using namespace varnok;

namespace {

std::wstring Base() { return L"http://127.0.0.1:" + std::to_wstring(test_pki::Port()); }

}  // namespace

TEST(CrlDistributionPoints, ListsEveryUrlOfAPointInOrderWhateverTheScheme) {
  CertificateReference context = test_pki::Certificate("ldap-then-http");
  CryptCertificate certificate(context.get());
  const std::vector<std::wstring>& urls = certificate.CrlDistributionPoints();
  ASSERT_EQ(urls.size(), 2u);
  EXPECT_EQ(urls[0],
            L"ldap://127.0.0.1:1/CN=Tessel%20Test%20Intermediate?certificateRevocationList");
  EXPECT_EQ(urls[1], Base() + L"/inter.crl");
  // Asked again: the same list, not read twice.
  EXPECT_EQ(&certificate.CrlDistributionPoints(), &urls);
  EXPECT_EQ(certificate.CrlDistributionPoints().size(), 2u);
}

TEST(CrlDistributionPoints, ARelativeNameContributesNothing) {
  CertificateReference context = test_pki::Certificate("relative-name");
  if (rozazar::platform::runningUnderWine()) {
    const CERT_INFO* info = context.get()->pCertInfo;
    PCERT_EXTENSION extension = CertFindExtension("2.5.29.31", info->cExtension, info->rgExtension);
    ASSERT_NE(extension, nullptr);
    DWORD size = 0;
    if (!CryptDecodeObject(X509_ASN_ENCODING, "2.5.29.31", extension->Value.pbData,
                           extension->Value.cbData, 0, nullptr, &size)) {
      GTEST_SKIP() << "Wine's decoder rejects a distribution point given as a relative name "
                      "(error "
                   << GetLastError() << "); only Windows decodes the extension";
    }
  }
  CryptCertificate certificate(context.get());
  EXPECT_EQ(certificate.CrlDistributionPoints(), std::vector<std::wstring>{Base() + L"/inter.crl"});
}

TEST(CrlDistributionPoints, NoExtensionGivesAnEmptyListEveryTime) {
  CertificateReference context = test_pki::Certificate("no-cdp");
  CryptCertificate certificate(context.get());
  EXPECT_TRUE(certificate.CrlDistributionPoints().empty());
  EXPECT_TRUE(certificate.CrlDistributionPoints().empty());
}
