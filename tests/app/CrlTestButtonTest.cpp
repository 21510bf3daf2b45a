// The "CRL Test" button of the real console dialog: a click runs the command
// against the user's stores and the CRLs on the loopback port, and the
// verdict appears in the output pane.

#include <gtest/gtest.h>

#include "testing/pki/LoopbackHttpServer.h"
#include "tests/app/ConsoleFixture.h"
#include "tests/certs/TestPki.h"

namespace fs = std::filesystem;

namespace {

class CrlTestButton : public ConsoleFixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test_pki::ServeCrls(server_)) << "port " << test_pki::Port() << " is taken";
    const std::string missingFolder = userFolder_.Make();
    if (!missingFolder.empty()) GTEST_SKIP() << missingFolder;
    ASSERT_TRUE(installed_.Install(L"ROOT", "root"));
    ASSERT_TRUE(installed_.Install(L"MY", "inter"));
    ConsoleFixture::SetUp();
  }
  void TearDown() override {
    ConsoleFixture::TearDown();
    test_pki::ClearUrlCache();
  }

  std::wstring Pane() { return dialog_test::WindowText(Item(1013)); }

  // Clicks the button and waits until the pane holds `count` lines more.
  std::wstring ClickAndRead(size_t lines) {
    const std::wstring before = Pane();
    dialog_test::PostClick(dialog_, 1015);
    const bool done = dialog_test::WaitFor(
        [&] {
          const std::wstring now = Pane();
          return now.size() > before.size() &&
                 static_cast<size_t>(std::count(now.begin() + before.size(), now.end(), L'\n')) >=
                     lines;
        },
        std::chrono::milliseconds(60000));
    EXPECT_TRUE(done) << "the pane did not change";
    return Pane().substr(before.size());
  }

  LoopbackHttpServer server_{test_pki::Port()};
  test_pki::InstalledCertificates installed_;
  test_pki::CrlTestUserFolder userFolder_;
};

}  // namespace

TEST_F(CrlTestButton, ValidCertificate) {
  ASSERT_TRUE(installed_.Install(L"MY", "valid"));
  EXPECT_EQ(ClickAndRead(1), L"Сертификата е валиден.\r\n");
}

TEST_F(CrlTestButton, RevokedCertificate) {
  ASSERT_TRUE(installed_.Install(L"MY", "revoked-no-reason"));
  const std::wstring shown = ClickAndRead(3);
  EXPECT_EQ(shown.rfind(L"Сертификата НЕ е валиден.\r\nСертификатът е отменен на ", 0), 0u)
      << std::string(shown.begin(), shown.end());
  EXPECT_EQ(std::count(shown.begin(), shown.end(), L'\n'), 3);
}
