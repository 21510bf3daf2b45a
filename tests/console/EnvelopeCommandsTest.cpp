// The envelope commands against the substitute Tessel.dll.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "console/EnvelopeCommands.h"
#include "tests/console/CommandTestSupport.h"
#include "tests/console/ScriptedUi.h"

namespace {

using ::testing::ElementsAreArray;

TEST(FileCommands, HandTheChosenFileAndANullToTheirExport) {
  const struct {
    void (*run)(ConsoleUi&);
    const char* exportName;
    FileDialogRequest request;
  } cases[] = {
      {RunDecryptVerifyFile, "ATesselDecryptVerifyFile",
       OpenRequest(L"Signed Files", L"*.p7m;*.p7s", std::nullopt)},
      // No filter: every file is listed, and the filter index is 0.
      {RunEncryptFile, "ATesselEncryptFile", FileDialogRequest()},
      {RunSignAndEncryptFile, "ATesselSignAndEncryptFile", FileDialogRequest()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.exportName);
    SubstituteSession session;
    session.SetScript(std::string(c.exportName) + " return 0\n");
    ScriptedUi ui;
    ui.fileAnswers = {L"C:\\Входящи\\писмо.p7m"};
    c.run(ui);
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(Describe(ui.fileRequests[0]), Describe(c.request));
    EXPECT_EQ(ui.fileRequests[0].filterIndex, c.request.filter.empty() ? 0u : 1u);
    const auto call = OnlyCall(session, c.exportName);
    EXPECT_EQ(call.Text("path"), L"C:\\Входящи\\писмо.p7m");
    EXPECT_EQ(call.Int("reserved"), 0);
    // Whatever the library answers, the console adds nothing.
    EXPECT_TRUE(ui.messageBoxes.empty());
    EXPECT_EQ(ui.output, L"");
  }
}

TEST(FileCommands, CancelledDialogCallsNothing) {
  for (auto run : {RunDecryptVerifyFile, RunEncryptFile, RunSignAndEncryptFile, RunExtractFile}) {
    SubstituteSession session;
    ScriptedUi ui;
    run(ui);
    EXPECT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_THAT(session.CallNames(), ElementsAreArray(NothingCalled()));
    EXPECT_EQ(ui.output, L"");
  }
}

TEST(ExtractFile, BufferStartsWithTheDirectoryAndResultGoesToThePane) {
  const struct {
    const wchar_t* path;
    const wchar_t* directory;
  } cases[] = {{L"C:\\Подписи\\a.p7m", L"C:\\Подписи"},
               {L"C:\\a.p7m", L"C:\\"},
               {L"\\\\server\\share\\a.p7s", L"\\\\server\\share"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.path);
    SubstituteSession session;
    session.SetScript(
        "ATesselExtractFile buffer 0 D:\\изход\\a.pdf\nATesselExtractFile return 1\n");
    ScriptedUi ui;
    ui.fileAnswers = {c.path};
    RunExtractFile(ui);
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(Describe(ui.fileRequests[0]),
              Describe(OpenRequest(L"Signed Files", L"*.p7m;*.p7s", L".p7m")));
    const auto call = OnlyCall(session, "ATesselExtractFile");
    EXPECT_EQ(call.Text("path"), c.path);
    EXPECT_EQ(call.Text("directory"), c.directory);
    EXPECT_EQ(call.Int("directory.room"), 1001);
    EXPECT_EQ(call.Int("directory.zeros"),
              1001 - static_cast<std::int64_t>(std::wcslen(c.directory)));
    EXPECT_EQ(call.Int("reserved1"), 0);
    EXPECT_EQ(call.Int("reserved2"), 0);
    EXPECT_EQ(ui.output, L"true=D:\\изход\\a.pdf\r\n");
  }
}

TEST(ExtractFile, FailureLeavesFalseWithoutALineBreak) {
  SubstituteSession session;
  ScriptedUi ui;
  ui.fileAnswers = {L"C:\\d\\a.p7m", L"C:\\d\\b.p7m"};
  session.SetScript("ATesselExtractFile return 0\n");
  RunExtractFile(ui);
  EXPECT_EQ(ui.output, L"false");
  session.SetScript("ATesselExtractFile buffer 0 C:\\d\\b.txt\nATesselExtractFile return 1\n");
  RunExtractFile(ui);
  EXPECT_EQ(ui.output, L"falsetrue=C:\\d\\b.txt\r\n");
}

TEST(ExtractFile, UnterminatedBufferIsReadOnlyWithinItsRoom) {
  SubstituteSession session;
  session.SetScript("ATesselExtractFile fill 0 я\nATesselExtractFile return 1\n");
  ScriptedUi ui;
  ui.fileAnswers = {L"C:\\d\\a.p7m"};
  RunExtractFile(ui);
  EXPECT_EQ(ui.output, L"true=" + std::wstring(1000, L'я') + L"\r\n");
}

TEST(ExtractFile, DirectoryLongerThanTheLibrarysRoomIsHandedOverWhole) {
  SubstituteSession session;
  session.SetScript("ATesselExtractFile return 0\n");
  ScriptedUi ui;
  const std::wstring directory = L"C:\\" + std::wstring(1020, L'd');
  ui.fileAnswers = {directory + L"\\a.p7m"};
  RunExtractFile(ui);
  // The log shows the contract's room only; the text there is cut to it,
  // but no zero was put inside the directory.
  EXPECT_EQ(OnlyCall(session, "ATesselExtractFile").Text("directory"), directory.substr(0, 1001));
}

}  // namespace
