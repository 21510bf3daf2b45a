#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <new>

#include "console/LibraryCall.h"
#include "tests/console/MessageBoxWatcher.h"
#include "tests/console/ScriptedUi.h"
#include "tests/testing/SubstituteSession.h"

namespace {

using ::testing::ElementsAre;

constexpr bool kX64 = sizeof(void*) == 8;

// A user value that names no console: on x86 its low 32 bits are 0 although
// the high ones are not; on x64 the whole value is the address.
constexpr TesselUserValue kNoConsole =
    kX64 ? 0 : static_cast<TesselUserValue>(0x1234567800000000ll);

TEST(UserValue, CarriesTheAddressSignExtended) {
  ScriptedUi ui;
  const TesselUserValue value = UserValueOf(ui);
  EXPECT_EQ(static_cast<std::uint32_t>(value),
            static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&ui)));
  const std::int64_t expectedHigh =
      kX64 ? static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(&ui)) >> 32
           : (reinterpret_cast<std::intptr_t>(&ui) < 0 ? -1 : 0);
  EXPECT_EQ(value >> 32, expectedHigh);
  EXPECT_EQ(ConsoleUiFromUserValue(value), &ui);
}

TEST(UserValue, ThePointerSizedPartNamesTheConsole) {
  // x86 reads the low 32 bits only; x64 reads all 64.
  const auto named = [](std::uint64_t value) {
    return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(
        ConsoleUiFromUserValue(static_cast<TesselUserValue>(value))));
  };
  EXPECT_EQ(named(0xFFFFFFFF80001234ull), kX64 ? 0xFFFFFFFF80001234ull : 0x80001234ull);
  EXPECT_EQ(named(0x0000000180001234ull), kX64 ? 0x0000000180001234ull : 0x80001234ull);
  EXPECT_EQ(ConsoleUiFromUserValue(kNoConsole), nullptr);
}

// The console at the highest address the system hands out: above 4 GB on
// x64 (a truncated address would name some other place), above 2 GB on x86
// where the address space allows (a sign-extended address must still name
// it). Under 64-bit Wine the console itself lies below 4 GB, so only an
// object placed up there shows that the callbacks keep the whole address.
TEST(UserValue, CallbacksFindAConsoleAtTheTopOfTheAddressSpace) {
  void* top = ::VirtualAlloc(nullptr, sizeof(ScriptedUi), MEM_RESERVE | MEM_COMMIT | MEM_TOP_DOWN,
                             PAGE_READWRITE);
  ASSERT_NE(top, nullptr);
  if (kX64) {
    ASSERT_GT(reinterpret_cast<std::uintptr_t>(top), 0xFFFFFFFFull)
        << "the test needs a high address";
  }
  auto* ui = new (top) ScriptedUi();
  EXPECT_EQ(OutputLineCallback(UserValueOf(*ui), L"горе"), TRUE);
  EXPECT_EQ(ui->output, L"горе\r\n");
  ui->~ScriptedUi();
  ::VirtualFree(top, 0, MEM_RELEASE);
}

TEST(OutputLineCallback, AppendsALineAndReturnsTheRefreshResult) {
  ScriptedUi ui;
  ui.output = L"before";
  EXPECT_EQ(OutputLineCallback(UserValueOf(ui), L"ред"), TRUE);
  EXPECT_EQ(ui.output, L"beforeред\r\n");
  EXPECT_EQ(ui.refreshes, 1);
  ui.refreshResult = FALSE;
  EXPECT_EQ(OutputLineCallback(UserValueOf(ui), L""), FALSE);
  EXPECT_EQ(ui.output, L"beforeред\r\n\r\n");
}

TEST(OutputLineCallback, NullTextIsAnEmptyLine) {
  ScriptedUi ui;
  EXPECT_NE(OutputLineCallback(UserValueOf(ui), nullptr), 0);
  EXPECT_EQ(ui.output, L"\r\n");
}

TEST(OutputLineCallback, UserValueWithoutConsoleChangesNothing) {
  EXPECT_EQ(OutputLineCallback(kNoConsole, L"lost"), 0);
}

TEST(ErrorBoxCallback, ShowsAnErrorBoxOwnedByTheConsole) {
  ScriptedUi ui;
  ui.messageBoxResult = IDCANCEL;
  EXPECT_EQ(ErrorBoxCallback(UserValueOf(ui), L"Файлът липсва"), IDCANCEL);
  ASSERT_EQ(ui.messageBoxes.size(), 1u);
  EXPECT_EQ(ui.messageBoxes[0].owner, ui.window);
  EXPECT_EQ(ui.messageBoxes[0].text, L"Файлът липсва");
  EXPECT_EQ(ui.messageBoxes[0].caption, std::optional<std::wstring>(L"Error"));
  EXPECT_EQ(ui.messageBoxes[0].type, static_cast<UINT>(MB_OK));

  EXPECT_EQ(ErrorBoxCallback(UserValueOf(ui), nullptr), IDCANCEL);
  ASSERT_EQ(ui.messageBoxes.size(), 2u);
  EXPECT_EQ(ui.messageBoxes[1].text, L"");
}

TEST(ErrorBoxCallback, WithoutConsoleTheBoxHasNoOwner) {
  MessageBoxWatcher watcher;
  EXPECT_EQ(ErrorBoxCallback(kNoConsole, L"no owner"), IDOK);
  const auto seen = watcher.SeenSoFar();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].owner, nullptr);
  EXPECT_EQ(seen[0].caption, L"Error");
  EXPECT_EQ(seen[0].text, L"no owner");
}

// The callbacks as the library calls them: through the C calling convention,
// with the user value it was given, texts the library owns.
TEST(Callbacks, ThroughTheLibrary) {
  SubstituteSession session;
  session.SetScript(
      "ATesselSignFileJson callback Подписът е създаден\n"
      "ATesselSignFileJson callback-null\n"
      "ATesselSignFileJson callback tab\\there\n"
      "ATesselIsP7S callback Невалиден файл\n"
      "ATesselIsP7S return 1\n");
  ScriptedUi ui;
  LibraryCall<ATesselSignFileJsonFn>(ui, kATesselSignFileJson, [&](ATesselSignFileJsonFn sign) {
    sign(L"{}", OutputLineCallback, UserValueOf(ui));
  });
  EXPECT_EQ(ui.output, L"Подписът е създаден\r\n\r\ntab\there\r\n");
  EXPECT_EQ(ui.refreshes, 3);

  TesselBool isP7s = 0;
  ui.messageBoxResult = IDOK;
  LibraryCall<ATesselIsP7SFn>(ui, kATesselIsP7S, [&](ATesselIsP7SFn isP7S) {
    isP7s = isP7S(L"C:\\a.p7s", ErrorBoxCallback, UserValueOf(ui));
  });
  EXPECT_EQ(isP7s, 1);
  ASSERT_EQ(ui.messageBoxes.size(), 1u);
  EXPECT_EQ(ui.messageBoxes[0].text, L"Невалиден файл");
  EXPECT_EQ(ui.messageBoxes[0].caption, std::optional<std::wstring>(L"Error"));

  // What the callbacks returned to the library.
  const auto calls = session.Calls();
  const auto lines = tessel_substitute::RecordsNamed(calls, "ATesselSignFileJson:callback");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_TRUE(lines[1].IsNull("text"));
  for (const auto& line : lines) EXPECT_EQ(line.Int("returned"), TRUE);
  const auto boxes = tessel_substitute::RecordsNamed(calls, "ATesselIsP7S:callback");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Int("returned"), IDOK);
}

// The certificate report record crosses the C calling convention by value
// after the 64-bit user value, with its fields at their offsets.
struct ReportSeen {
  std::uint8_t isError;
  std::wstring errorText, certName, thumbprint;
  bool nullName;
};
std::vector<ReportSeen>* g_reports = nullptr;

int __cdecl RecordReport(TesselUserValue userValue, TesselCertificateReport report) {
  EXPECT_EQ(userValue, 0x7FFFFFFF12345678ll);
  g_reports->push_back({report.isError, report.errorText ? report.errorText : L"",
                        report.certName ? report.certName : L"",
                        report.thumbprint ? report.thumbprint : L"", report.certName == nullptr});
  return 77;
}

TEST(Callbacks, CertificateReportRecordByValue) {
  SubstituteSession session;
  session.SetScript(
      "ATesselCertStoreInfo report 0\t\tИван Петров\tAB12\n"
      "ATesselCertStoreInfo report 1\tnot found\t<null>\t<null>\n");
  ScriptedUi ui;
  std::vector<ReportSeen> reports;
  g_reports = &reports;
  LibraryCall<ATesselCertStoreInfoFn>(
      ui, kATesselCertStoreInfo, [&](ATesselCertStoreInfoFn storeInfo) {
        storeInfo(L"Microsoft Software Key Storage Provider", RecordReport, 0x7FFFFFFF12345678ll);
      });
  g_reports = nullptr;
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].isError, 0);
  EXPECT_EQ(reports[0].certName, L"Иван Петров");
  EXPECT_EQ(reports[0].thumbprint, L"AB12");
  EXPECT_EQ(reports[1].isError, 1);
  EXPECT_EQ(reports[1].errorText, L"not found");
  EXPECT_TRUE(reports[1].nullName);
  const auto returned =
      tessel_substitute::RecordsNamed(session.Calls(), "ATesselCertStoreInfo:report");
  ASSERT_EQ(returned.size(), 2u);
  EXPECT_EQ(returned[0].Int("returned"), 77);
}

}  // namespace
