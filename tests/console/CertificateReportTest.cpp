// The certificate report callback, called directly and by the substitute
// library with records of the library's layout.

#include <gtest/gtest.h>

#include "console/CertificateReportCallback.h"
#include "console/LibraryCall.h"
#include "tests/console/ScriptedUi.h"
#include "tests/testing/SubstituteSession.h"

TEST(CertificateReportCallback, WritesOneLinePerReport) {
  ScriptedUi ui;
  TesselCertificateReport report = {};
  report.certName = L"Иван Петров";
  report.thumbprint = L"0123ABCD";
  EXPECT_EQ(CertificateReportCallback(UserValueOf(ui), report), TRUE);
  // An error record prints only its error, even with a name present.
  report.isError = 7;
  report.errorText = L"Няма достъп";
  EXPECT_EQ(CertificateReportCallback(UserValueOf(ui), report), TRUE);
  EXPECT_EQ(ui.output, L"CertName: Иван Петров; Thumbprint: 0123ABCD\r\nError: Няма достъп\r\n");
  EXPECT_EQ(ui.refreshes, 2);
  ui.refreshResult = FALSE;
  EXPECT_EQ(CertificateReportCallback(UserValueOf(ui), report), FALSE);
  EXPECT_EQ(CertificateReportCallback(0, report), 0);
}

TEST(CertificateReportCallback, ReadsTheRecordsTheLibrarySends) {
  SubstituteSession session;
  session.SetScript(
      "ATesselCertStoreInfo report 0\t<null>\tДемо\tAABBCC\n"
      "ATesselCertStoreInfo report 1\tНяма ключ\tИме\tDDEEFF\n");
  HMODULE library = LoadLibraryW(kTesselLibraryName);
  ASSERT_NE(library, nullptr);
  auto listing = reinterpret_cast<ATesselCertStoreInfoFn>(
      reinterpret_cast<void (*)()>(GetProcAddress(library, "ATesselCertStoreInfo")));
  ASSERT_NE(listing, nullptr);
  ScriptedUi ui;
  listing(L"Microsoft Software Key Storage Provider", &CertificateReportCallback, UserValueOf(ui));
  FreeLibrary(library);
  EXPECT_EQ(ui.output, L"CertName: Демо; Thumbprint: AABBCC\r\nError: Няма ключ\r\n");
}
