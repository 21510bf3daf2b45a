// Downloading into a file over loopback HTTP, and loading CRL files.

#include <gtest/gtest.h>

#include <curl/curl.h>

#include "certs/CrlDownload.h"
#include "certs/CryptoHandles.h"
#include "foundation/platform/SystemCalls.h"
#include "testing/pki/LoopbackHttpServer.h"
#include "testing/pki/SilentListener.h"
#include "tests/certs/TempFolder.h"
#include "tests/certs/TestPki.h"

using namespace varnok;

namespace {

class Download : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.Running()); }

  std::wstring Target() const { return folder_.File(L"download.crl"); }
  std::string TargetText() const { return test_pki::ReadText(Target()); }

  LoopbackHttpServer server_;  // ephemeral port
  TempFolder folder_;
};

std::string FailureLine(CURLcode code) {
  return std::string("curl_easy_perform() failed: ") + curl_easy_strerror(code) + "\n";
}

}  // namespace

TEST_F(Download, WritesTheBodyAndNothingToTheErrorStream) {
  server_.Serve("/inter.crl", test_pki::FileBytes("inter.crl"));
  test_pki::StderrCapture errors;
  EXPECT_TRUE(DownloadToFile(server_.WideUrl("/inter.crl"), Target()));
  EXPECT_EQ(errors.Text(), "");
  EXPECT_EQ(TargetText(), test_pki::FileBytes("inter.crl"));
}

TEST_F(Download, NotFoundWithHtmlIsStoredAndIsNoCrl) {
  EXPECT_TRUE(DownloadToFile(server_.WideUrl("/missing.crl"), Target()));
  EXPECT_EQ(TargetText(), "<html><body><h1>404 Not Found</h1></body></html>");
  EXPECT_EQ(LoadCrlFile(Target()), nullptr);
}

TEST_F(Download, FollowsARedirect) {
  LoopbackHttpServer::Response moved;
  moved.status = 302;
  moved.body = "moved";
  moved.headers.push_back("Location: " + server_.Url("/real.crl"));
  server_.Route("/old.crl", moved);
  server_.Serve("/real.crl", "the real body");
  EXPECT_TRUE(DownloadToFile(server_.WideUrl("/old.crl"), Target()));
  EXPECT_EQ(TargetText(), "the real body");
}

TEST_F(Download, UnreachableHostFailsWithOneErrorLineAndLeavesTheFile) {
  ASSERT_TRUE(WriteFileBytes(Target().c_str(), ByteList{'o', 'l', 'd'}));
  test_pki::StderrCapture errors;
  EXPECT_FALSE(DownloadToFile(L"http://127.0.0.1:1/inter.crl", Target()));
  EXPECT_EQ(errors.Text(), FailureLine(CURLE_COULDNT_CONNECT));
  EXPECT_EQ(TargetText(), "old");
}

TEST_F(Download, AStalledBodyFailsAtTheLowSpeedLimit) {
  LoopbackHttpServer::Response stalled;
  stalled.body = std::string(1000, 'z');
  stalled.stallAfter = 10;
  server_.Route("/stall.crl", stalled);
  DownloadLimits limits;
  limits.lowSpeedSeconds = 2;
  test_pki::StderrCapture errors;
  const ULONGLONG start = GetTickCount64();
  EXPECT_FALSE(DownloadToFile(server_.WideUrl("/stall.crl"), Target(), limits));
  EXPECT_LT(GetTickCount64() - start, 20000u);
  EXPECT_EQ(errors.Text(), FailureLine(CURLE_OPERATION_TIMEDOUT));
  EXPECT_FALSE(std::filesystem::exists(Target()));
}

TEST_F(Download, AServerThatNeverAnswersFailsAtTheLowSpeedLimit) {
  LoopbackHttpServer::Response silent;
  silent.silent = true;
  server_.Route("/silent.crl", silent);
  DownloadLimits limits;
  limits.lowSpeedSeconds = 2;
  test_pki::StderrCapture errors;
  EXPECT_FALSE(DownloadToFile(server_.WideUrl("/silent.crl"), Target(), limits));
  EXPECT_EQ(errors.Text(), FailureLine(CURLE_OPERATION_TIMEDOUT));
  EXPECT_EQ(server_.RequestsFor("/silent.crl"), 1);
}

TEST_F(Download, ARedirectLoopEndsAfterThirtyRedirects) {
  LoopbackHttpServer::Response loop;
  loop.status = 302;
  loop.headers.push_back("Location: " + server_.Url("/loop.crl"));
  server_.Route("/loop.crl", loop);
  test_pki::StderrCapture errors;
  EXPECT_FALSE(DownloadToFile(server_.WideUrl("/loop.crl"), Target()));
  EXPECT_EQ(errors.Text(), FailureLine(CURLE_TOO_MANY_REDIRECTS));
  EXPECT_EQ(server_.RequestsFor("/loop.crl"), 31);
  EXPECT_FALSE(std::filesystem::exists(Target()));
}

TEST_F(Download, AHostThatNeverTakesTheConnectionFailsAtTheConnectTimeout) {
  EXPECT_EQ(DownloadLimits().connectTimeoutSeconds, 30);
  SilentListener silent(0);
  ASSERT_TRUE(silent.Silent());
  DownloadLimits limits;
  limits.connectTimeoutSeconds = 2;
  test_pki::StderrCapture errors;
  const ULONGLONG start = GetTickCount64();
  EXPECT_FALSE(DownloadToFile(L"http://127.0.0.1:" + std::to_wstring(silent.Port()) + L"/x.crl",
                              Target(), limits));
  EXPECT_LT(GetTickCount64() - start, 20000u);
  EXPECT_EQ(errors.Text(), FailureLine(CURLE_OPERATION_TIMEDOUT));
}

TEST_F(Download, ABodyThatCannotBeWrittenWholeFailsAndLeavesNoFile) {
  server_.Serve("/inter.crl", test_pki::FileBytes("inter.crl"));
  namespace platform = rozazar::platform;
  platform::SystemCallsRestorer restore;
  // Each write takes one byte less than it is given.
  platform::systemCalls().write = [](platform::FileHandle file, const void* bytes,
                                     std::uint32_t size, std::uint32_t& written,
                                     std::uint32_t& error) noexcept {
    return platform::nativeSystemCalls().write(file, bytes, size - 1, written, error);
  };
  EXPECT_FALSE(DownloadToFile(server_.WideUrl("/inter.crl"), Target()));
  EXPECT_FALSE(std::filesystem::exists(Target()));
}

TEST_F(Download, ABodyBeyondTheBoundFailsTheTransfer) {
  EXPECT_EQ(kMaxDownloadBytes, 256u * 1024 * 1024);
  EXPECT_EQ(DownloadLimits().maxBodyBytes, kMaxDownloadBytes);
  LoopbackHttpServer::Response huge;
  huge.generatedBytes = 8 * 1024 * 1024;
  server_.Route("/huge.crl", huge);
  DownloadLimits limits;
  limits.maxBodyBytes = 1024 * 1024;
  test_pki::StderrCapture errors;
  EXPECT_FALSE(DownloadToFile(server_.WideUrl("/huge.crl"), Target(), limits));
  EXPECT_EQ(errors.Text(), FailureLine(CURLE_WRITE_ERROR));
  EXPECT_FALSE(std::filesystem::exists(Target()));
  // Exactly the bound still fits.
  huge.generatedBytes = 1024 * 1024;
  server_.Route("/huge.crl", huge);
  EXPECT_TRUE(DownloadToFile(server_.WideUrl("/huge.crl"), Target(), limits));
  EXPECT_EQ(std::filesystem::file_size(Target()), 1024u * 1024);
}

TEST_F(Download, NonAsciiUrlIsSentAsPercentEncodedUtf8) {
  server_.Serve("/%D0%A1%D0%BF%20%F0%9F%98%80.crl", "body");
  EXPECT_TRUE(DownloadToFile(server_.WideUrl("/") + L"\u0421\u043F%20\U0001F600.crl", Target()));
  EXPECT_EQ(TargetText(), "body");
  EXPECT_EQ(UrlForTransfer(L"http://h/a\u00E9"), "http://h/a%C3%A9");
  EXPECT_EQ(UrlForTransfer(L"http://h/plain?q=1"), "http://h/plain?q=1");
}

TEST(WriteBodyCallback, AppendsUpToTheBoundAndRefusesBeyondIt) {
  DownloadBuffer buffer;
  buffer.maxBytes = 6;
  char bytes[] = "abcdef";
  EXPECT_EQ(WriteBodyCallback(bytes, 1, 4, &buffer), 4u);
  EXPECT_EQ(WriteBodyCallback(bytes, 2, 1, &buffer), 2u);
  EXPECT_EQ(WriteBodyCallback(bytes, 1, 1, &buffer), 0u);
  EXPECT_EQ(std::string(buffer.bytes.begin(), buffer.bytes.end()), "abcdab");
  // A size times count that overflows is refused, not wrapped.
  EXPECT_EQ(WriteBodyCallback(bytes, SIZE_MAX / 2, 3, &buffer), 0u);
  // Without a target the bytes are taken and dropped.
  EXPECT_EQ(WriteBodyCallback(bytes, 3, 2, nullptr), 6u);
}

TEST(LoadCrlFile, PemAndDerGiveEqualContexts) {
  const std::wstring folder = test_pki::Folder().wstring();
  CrlReference der(LoadCrlFile(folder + L"\\inter.crl"));
  CrlReference pem(LoadCrlFile(folder + L"\\inter-pem.crl"));
  ASSERT_NE(der.get(), nullptr);
  ASSERT_NE(pem.get(), nullptr);
  ASSERT_EQ(der.get()->cbCrlEncoded, pem.get()->cbCrlEncoded);
  EXPECT_EQ(0, memcmp(der.get()->pbCrlEncoded, pem.get()->pbCrlEncoded, der.get()->cbCrlEncoded));
  EXPECT_EQ(der.get()->pCrlInfo->cCRLEntry, 8u);
}

TEST(LoadCrlFile, MissingEmptyAndNonCrlFilesGiveNull) {
  TempFolder folder;
  EXPECT_EQ(LoadCrlFile(folder.File(L"absent.crl")), nullptr);
  ASSERT_TRUE(WriteFileBytes(folder.File(L"empty.crl").c_str(), ByteList{}));
  EXPECT_EQ(LoadCrlFile(folder.File(L"empty.crl")), nullptr);
  // A PEM certificate passes the PEM decoding but is no CRL.
  EXPECT_EQ(LoadCrlFile((test_pki::Folder() / L"valid.pem").wstring()), nullptr);
}
