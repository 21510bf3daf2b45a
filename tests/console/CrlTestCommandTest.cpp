// The "CRL Test" command end to end: the test certificates in the user's
// "MY" and "ROOT" stores, the CRLs on the loopback port of their
// distribution points, the command's fixed folders inside the prefix, and
// the verdict in the output pane.

#include <gtest/gtest.h>

#include "certs/RevocationCheck.h"
#include "console/CrlTestCommand.h"
#include "testing/pki/LoopbackHttpServer.h"
#include "tests/certs/TestPki.h"
#include "tests/console/ScriptedUi.h"

namespace fs = std::filesystem;

namespace {

const fs::path kDesktop = test_pki::CrlTestUserFolder::Path() / L"Desktop";

class CrlTestCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test_pki::ServeCrls(server_)) << "port " << test_pki::Port() << " is taken";
    const std::string missingFolder = userFolder_.Make();
    if (!missingFolder.empty()) GTEST_SKIP() << missingFolder;
    ASSERT_TRUE(installed_.Install(L"ROOT", "root"));
    ASSERT_TRUE(installed_.Install(L"MY", "inter"));
  }

  void TearDown() override {
    std::error_code ignored;
    fs::remove(kDesktop / DownloadName(), ignored);
    test_pki::ClearUrlCache();
  }

  std::wstring DownloadName() {
    return varnok::CrlFileName(server_.WideUrl("/inter.crl"), &varnok::HashToHex, nullptr);
  }

  void Install(const std::string& name) { ASSERT_TRUE(installed_.Install(L"MY", name)); }

  LoopbackHttpServer server_{test_pki::Port()};
  test_pki::InstalledCertificates installed_;
  ScriptedUi ui_;
  test_pki::CrlTestUserFolder userFolder_;
};

}  // namespace

TEST_F(CrlTestCommand, NoMatchingCertificateShowsOneBoxAndNothingInThePane) {
  RunCrlTest(ui_);
  ASSERT_EQ(ui_.messageBoxes.size(), 1u);
  EXPECT_EQ(ui_.messageBoxes[0].text, L"Certificate for \"Sample Subject Name\" not found");
  EXPECT_EQ(ui_.messageBoxes[0].owner, ui_.window);
  EXPECT_EQ(ui_.messageBoxes[0].caption, std::nullopt);
  EXPECT_EQ(ui_.messageBoxes[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_EQ(ui_.output, L"");
}

TEST_F(CrlTestCommand, OnlyExpiredMatchesShowNothingAtAll) {
  Install("expired");
  RunCrlTest(ui_);
  EXPECT_TRUE(ui_.messageBoxes.empty());
  EXPECT_EQ(ui_.output, L"");
  EXPECT_EQ(ui_.refreshes, 0);
}

TEST_F(CrlTestCommand, ValidCertificate) {
  Install("expired");
  Install("valid");
  RunCrlTest(ui_);
  EXPECT_TRUE(ui_.messageBoxes.empty());
  EXPECT_EQ(ui_.output, L"Сертификата е валиден.\r\n");
  EXPECT_EQ(ui_.refreshes, 1);
  // The CRL stays in the download folder, named by its URL.
  EXPECT_EQ(test_pki::ReadText(kDesktop / DownloadName()), test_pki::FileBytes("inter.crl"));
}

TEST_F(CrlTestCommand, RevokedCertificateWithDateAndReason) {
  Install("revoked-key-compromise");
  RunCrlTest(ui_);
  EXPECT_EQ(ui_.output,
            L"Сертификата НЕ е валиден.\r\nСертификатът е отменен на " +
                test_pki::ShortLocalDate(test_pki::RevocationTime()) +
                L"\nПричина за прекратяване: Известно е или се подозира, че частният ключ на "
                L"субекта или \nдруги аспекти на темата, валидирани в сертификата, са "
                L"\nкомпрометирани.\n\r\n");
}

TEST_F(CrlTestCommand, CertificateWithoutDistributionPoints) {
  Install("no-cdp");
  RunCrlTest(ui_);
  EXPECT_EQ(ui_.output,
            L"Сертификата НЕ е валиден.\r\n"
            L"Функцията за анулиране не успя да провери отмяната на сертификата.\r\n");
}

TEST_F(CrlTestCommand, AFileSystemErrorIsShownWithItsOperationAndPath) {
  if (fs::exists(kDesktop)) GTEST_SKIP() << "the desktop folder exists already";
  // A file where the cache folder should be.
  { std::ofstream(kDesktop) << "x"; }
  Install("valid");
  RunCrlTest(ui_);
  std::error_code ignored;
  fs::remove(kDesktop, ignored);
  ASSERT_EQ(ui_.messageBoxes.size(), 1u);
  const std::wstring& text = ui_.messageBoxes[0].text;
  EXPECT_NE(text.find(L"create_directory"), std::wstring::npos) << text;
  EXPECT_NE(text.find(L"c:\\Users\\qelmar\\Desktop"), std::wstring::npos) << text;
  EXPECT_EQ(ui_.output, L"");
}
