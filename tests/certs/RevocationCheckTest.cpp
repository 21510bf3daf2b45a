// The revocation check against CRLs served on the loopback port of the test
// certificates' distribution points.

#include <gtest/gtest.h>

#include <curl/curl.h>

#include "certs/FileSystem.h"
#include "certs/HashToHex.h"
#include "certs/RevocationCheck.h"
#include "foundation/platform/Platform.h"
#include "testing/pki/LoopbackHttpServer.h"
#include "testing/pki/SilentListener.h"
#include "tests/certs/TempFolder.h"
#include "tests/certs/TestPki.h"

using namespace varnok;

namespace {

constexpr std::int32_t kRevoked = static_cast<std::int32_t>(0x80092010);
constexpr std::int32_t kNotChecked = static_cast<std::int32_t>(0x80092012);
constexpr wchar_t kNotCheckedText[] =
    L"Функцията за анулиране не успя да провери отмяната на сертификата.";
constexpr wchar_t kValidText[] = L"Сертификатът е валиден.";

class RevocationCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Running()) << "port " << test_pki::Port() << " is taken";
    server_.Serve("/inter.crl", test_pki::FileBytes("inter.crl"));
    // The issuer is found in the certificate's own store.
    issuers_.Add("inter");
    options_.cacheFolder = (folder_.Path() / L"cache").wstring();
    options_.downloadFolder = folder_.Path().wstring() + L"\\";
    options_.hashFunction = &HashToHex;
  }

  VerificationResult Check(const std::string& name) {
    CertificateReference certificate = issuers_.Add(name);
    return CheckRevocation(certificate.get(), options_);
  }

  static std::wstring RevokedText(const wchar_t* reason) {
    std::wstring text = L"Сертификатът е отменен на " +
                        test_pki::ShortLocalDate(test_pki::RevocationTime()) + L"\n";
    if (reason != nullptr) text += std::wstring(L"Причина за прекратяване: ") + reason + L"\n";
    return text;
  }

  std::filesystem::path DownloadOf(const std::wstring& url) {
    return folder_.Path() / CrlFileName(url, &HashToHex, nullptr);
  }

  std::wstring Url(const char* path) { return server_.WideUrl(path); }

  LoopbackHttpServer server_{test_pki::Port()};
  test_pki::MemoryStore issuers_;
  TempFolder folder_;
  RevocationCheckOptions options_;
};

constexpr wchar_t kUnknownReason[] = L"Не известна причина за спиране.";

}  // namespace

TEST_F(RevocationCheck, NotListedIsValidAndTheFileIsNamedByTheUrlHash) {
  const VerificationResult result = Check("valid");
  EXPECT_EQ(result.code, 0);
  EXPECT_EQ(result.message, kValidText);
  EXPECT_TRUE(std::filesystem::is_directory(options_.cacheFolder));
  // 64 upper-case hexadecimal characters of the URL's UTF-16 bytes.
  const std::wstring url = Url("/inter.crl");
  const std::wstring name =
      HashToHex(url.data(), static_cast<std::int32_t>(url.size() * 2), L"SHA256", nullptr) +
      L".crl";
  ASSERT_EQ(name.size(), 68u);
  EXPECT_EQ(test_pki::ReadText(folder_.Path() / name), test_pki::FileBytes("inter.crl"));
}

TEST_F(RevocationCheck, RevokedWithKeyCompromise) {
  const VerificationResult result = Check("revoked-key-compromise");
  EXPECT_EQ(result.code, kRevoked);
  EXPECT_EQ(result.message,
            RevokedText(L"Известно е или се подозира, че частният ключ на субекта или \n"
                        L"други аспекти на темата, валидирани в сертификата, са \n"
                        L"компрометирани."));
}

TEST_F(RevocationCheck, RevokedWithoutReasonHasOnlyTheDateLine) {
  const VerificationResult result = Check("revoked-no-reason");
  EXPECT_EQ(result.code, kRevoked);
  EXPECT_EQ(result.message, RevokedText(nullptr));
}

TEST_F(RevocationCheck, EveryOtherReasonText) {
  const std::pair<const char*, const wchar_t*> reasons[] = {
      {"revoked-ca-compromise",
       L"Известно е или се подозира, че частният ключ на \n"
       L"сертифициращия орган (CA) или други аспекти на CA, валидирани \n"
       L"в сертификата, са компрометирани.\n"},
      {"revoked-affiliation",
       L"Името на субекта или друга информация в сертификата е \n"
       L"променена, но няма причина да се подозира, че частният ключ е \n"
       L"компрометиран."},
      {"revoked-superseded",
       L"Сертификатът е заменен, но няма причина да се подозира, че \n"
       L"частният ключ е компрометиран."},
      {"revoked-cessation",
       L"Сертификатът вече не е необходим за целта, за която е \n"
       L"издаден, но няма причина да се подозира, че частният ключ е \n"
       L"компрометиран."},
      {"revoked-hold", L"Сертификатът е спрян."},
      {"revoked-remove", kUnknownReason},
  };
  for (const auto& [name, text] : reasons) {
    const VerificationResult result = Check(name);
    EXPECT_EQ(result.code, kRevoked) << name;
    EXPECT_EQ(result.message, RevokedText(text)) << name;
  }
}

TEST_F(RevocationCheck, ReasonZeroAndTheReasonsWithoutOwnText) {
  server_.Serve("/inter.crl", test_pki::FileBytes("inter-more-reasons.crl"));
  EXPECT_EQ(Check("revoked-reason-zero").message, RevokedText(L"Не е посочена причина за отмяна."));
  for (const char* name : {"revoked-privilege", "revoked-aa"}) {
    const VerificationResult result = Check(name);
    EXPECT_EQ(result.code, kRevoked) << name;
    EXPECT_EQ(result.message, RevokedText(kUnknownReason)) << name;
  }
}

TEST_F(RevocationCheck, PemCrlDecidesLikeDer) {
  server_.Serve("/inter.crl", test_pki::FileBytes("inter-pem.crl"));
  EXPECT_EQ(Check("revoked-no-reason").code, kRevoked);
  EXPECT_EQ(Check("valid").code, 0);
}

TEST_F(RevocationCheck, NoDistributionPointOrOnlyLdapIsNotChecked) {
  test_pki::StderrCapture errors;
  for (const char* name : {"no-cdp", "ldap-only"}) {
    const VerificationResult result = Check(name);
    EXPECT_EQ(result.code, kNotChecked) << name;
    EXPECT_EQ(result.message, kNotCheckedText) << name;
  }
  EXPECT_EQ(errors.Text(), "");
  EXPECT_TRUE(server_.Requests().empty());
}

TEST_F(RevocationCheck, AnLdapUrlWhoseQueryContainsHttpIsTried) {
  const std::wstring url =
      L"ldap://127.0.0.1:1/CN=Tessel%20Test%20Intermediate?certificateRevocationList?base?"
      L"objectClass=httpCrl";
  ASSERT_TRUE(WriteFileBytes(DownloadOf(url).c_str(), ByteList{'o', 'l', 'd'}));
  test_pki::StderrCapture errors;
  EXPECT_EQ(Check("ldap-http").code, kNotChecked);
  // The old download was removed before the transfer, which failed.
  EXPECT_FALSE(std::filesystem::exists(DownloadOf(url)));
  const std::string text = errors.Text();
  EXPECT_EQ(text.rfind("curl_easy_perform() failed: ", 0), 0u) << text;
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
}

TEST_F(RevocationCheck, FirstUrlUnreachableSecondDecides) {
  test_pki::StderrCapture errors;
  const VerificationResult result = Check("two-http");
  EXPECT_EQ(result.code, 0);
  EXPECT_EQ(result.message, kValidText);
  EXPECT_EQ(errors.Text(), std::string("curl_easy_perform() failed: ") +
                               curl_easy_strerror(CURLE_COULDNT_CONNECT) + "\n");
  EXPECT_EQ(server_.RequestsFor("/inter.crl"), 1);
}

TEST_F(RevocationCheck, ARedirectLoopOrAHostThatNeverConnectsGivesWayToTheNextUrl) {
  LoopbackHttpServer::Response loop;
  loop.status = 302;
  loop.headers.push_back("Location: " + server_.Url("/first.crl"));
  server_.Route("/first.crl", loop);
  SilentListener silent(test_pki::SilentPort());
  ASSERT_TRUE(silent.Silent()) << "port " << test_pki::SilentPort() << " answers";
  options_.limits.connectTimeoutSeconds = 2;
  const struct {
    const char* leaf;
    CURLcode failure;
  } cases[] = {{"first-then-inter", CURLE_TOO_MANY_REDIRECTS},
               {"silent-then-inter", CURLE_OPERATION_TIMEDOUT}};
  int inter = 0;
  for (const auto& c : cases) {
    test_pki::StderrCapture errors;
    const VerificationResult result = Check(c.leaf);
    EXPECT_EQ(result.code, 0) << c.leaf;
    EXPECT_EQ(errors.Text(),
              std::string("curl_easy_perform() failed: ") + curl_easy_strerror(c.failure) + "\n");
    EXPECT_EQ(server_.RequestsFor("/inter.crl"), ++inter) << c.leaf;
  }
}

TEST_F(RevocationCheck, ACrlWithAnUnknownCriticalExtensionDecidesNothing) {
  // One critical extension of the CRL itself, or of one entry.
  for (const char* crl : {"inter-critical-extension.crl", "inter-critical-entry.crl"}) {
    server_.Serve("/inter.crl", test_pki::FileBytes(crl));
    for (const char* leaf : {"valid", "revoked-key-compromise", "revoked-no-reason"}) {
      const VerificationResult result = Check(leaf);
      EXPECT_EQ(result.code, kNotChecked) << crl << " " << leaf;
      EXPECT_EQ(result.message, kNotCheckedText) << crl << " " << leaf;
    }
  }
}

TEST_F(RevocationCheck, ExpiredCrlIsNotChecked) {
  server_.Serve("/inter.crl", test_pki::FileBytes("inter-expired.crl"));
  EXPECT_EQ(Check("revoked-key-compromise").code, kNotChecked);
}

TEST_F(RevocationCheck, CrlSignedByAnotherKeyUnderTheIssuersNameIsRejected) {
  // It lists the certificate; accepting it would report a revocation.
  server_.Serve("/inter.crl", test_pki::FileBytes("inter-wrong-key.crl"));
  const VerificationResult result = Check("valid");
  EXPECT_EQ(result.code, kNotChecked);
  EXPECT_EQ(result.message, kNotCheckedText);
}

TEST_F(RevocationCheck, CrlOfAnotherCaListingTheSameSerialIsRejected) {
  server_.Serve("/other.crl", test_pki::FileBytes("other-ca.crl"));
  options_.crlUrl = Url("/other.crl");
  EXPECT_EQ(Check("valid").code, kNotChecked);
  EXPECT_EQ(server_.RequestsFor("/other.crl"), 1);
  EXPECT_EQ(server_.RequestsFor("/inter.crl"), 0);
}

TEST_F(RevocationCheck, AnHtmlErrorPageIsNotChecked) {
  options_.crlUrl = Url("/nothing-here.crl");
  EXPECT_EQ(Check("valid").code, kNotChecked);
}

TEST_F(RevocationCheck, WithoutHashFunctionNothingIsFetched) {
  options_.hashFunction = nullptr;
  EXPECT_EQ(Check("revoked-key-compromise").code, kNotChecked);
  EXPECT_TRUE(server_.Requests().empty());
  EXPECT_FALSE(std::filesystem::exists(options_.cacheFolder));
}

TEST_F(RevocationCheck, TheSameUrlTwiceReplacesTheFile) {
  const std::filesystem::path download = DownloadOf(Url("/inter.crl"));
  ASSERT_EQ(Check("valid").code, 0);
  ASSERT_TRUE(WriteFileBytes(download.c_str(), ByteList{'s', 't', 'a', 'l', 'e'}));
  server_.Serve("/inter.crl", test_pki::FileBytes("inter-pem.crl"));
  EXPECT_EQ(Check("revoked-no-reason").code, kRevoked);
  EXPECT_EQ(test_pki::ReadText(download), test_pki::FileBytes("inter-pem.crl"));
  EXPECT_EQ(server_.RequestsFor("/inter.crl"), 2);
}

TEST_F(RevocationCheck, MissingDownloadFolderIsNotChecked) {
  options_.downloadFolder = (folder_.Path() / L"absent").wstring();
  EXPECT_EQ(Check("valid").code, kNotChecked);
}

TEST_F(RevocationCheck, ACacheFolderThatIsAFileRaisesTheFileSystemError) {
  ASSERT_TRUE(WriteFileBytes(options_.cacheFolder.c_str(), ByteList{'x'}));
  try {
    Check("valid");
    FAIL() << "no error";
  } catch (const std::filesystem::filesystem_error& error) {
    EXPECT_NE(std::string(error.what()).find("create_directory"), std::string::npos);
    EXPECT_EQ(error.path1().wstring(), options_.cacheFolder);
  }
}

TEST_F(RevocationCheck, TheIssuerIsLookedUpInTheUsersStoresAndIsRequired) {
  // A certificate in a store of its own: no issuer anywhere, so no CRL can
  // be authenticated.
  CertificateReference alone = test_pki::Certificate("revoked-no-reason");
  EXPECT_EQ(CheckRevocation(alone.get(), options_).code, kNotChecked);
  // With the intermediate among the user's certificates it decides.
  test_pki::InstalledCertificates installed;
  ASSERT_TRUE(installed.Install(L"MY", "inter"));
  EXPECT_EQ(CheckRevocation(alone.get(), options_).code, kRevoked);
}

TEST(FormatLocalDate, TheUsersShortDateOfTheDayInTheUsersZone) {
  // The test program runs with TZ=Asia/Tokyo (nine hours ahead of UTC, no
  // summer time): each instant below falls on the next day there, the last
  // in a leap year's February.
  const SYSTEMTIME instants[] = {{2026, 3, 0, 10, 23, 30, 0, 0},
                                 {2026, 12, 0, 31, 15, 0, 0, 0},
                                 {2024, 2, 0, 28, 20, 0, 0, 0}};
  for (const SYSTEMTIME& instant : instants) {
    FILETIME utc = {};
    ASSERT_TRUE(SystemTimeToFileTime(&instant, &utc));
    EXPECT_EQ(FormatLocalDate(utc), test_pki::ShortLocalDate(utc)) << instant.wDay;
  }
  // Under Wine the zone is the test program's own, and with an English
  // locale (as LANG=C.UTF-8 gives) the text is known.
  wchar_t zoneName[64] = {};
  GetEnvironmentVariableW(L"TZ", zoneName, 64);
  if (rozazar::platform::runningUnderWine() && std::wstring(zoneName) == L"Asia/Tokyo") {
    TIME_ZONE_INFORMATION zone = {};
    GetTimeZoneInformation(&zone);
    ASSERT_EQ(zone.Bias, -540);
    wchar_t picture[80] = {};
    GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SSHORTDATE, picture, 80);
    if (std::wstring(picture) != L"M/d/yyyy") GTEST_SKIP() << "short date picture " << picture;
    FILETIME utc = {};
    SystemTimeToFileTime(&instants[0], &utc);
    EXPECT_EQ(FormatLocalDate(utc), L"3/11/2026");
  }
}
