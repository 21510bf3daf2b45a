// The signing commands against the substitute Tessel.dll: the dialogs they
// ask for, the exact arguments the library receives and what the console
// shows.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "console/LibraryCall.h"
#include "console/SigningCommands.h"
#include "tests/console/CommandTestSupport.h"
#include "tests/console/ScriptedUi.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

const wchar_t kDocument[] = L"C:\\Документи\\отчет 1.pdf";
const wchar_t kDocumentJson[] = L"C:\\\\Документи\\\\отчет 1.pdf";

FileDialogRequest SignedFilesRequest() {
  return OpenRequest(L"Signed Files", L"*.p7m;*.p7s", L".p7m");
}

TEST(SignModeFromCheck, MapsTheThreeStates) {
  EXPECT_EQ(SignModeFromCheck(BST_UNCHECKED), 1);
  EXPECT_EQ(SignModeFromCheck(BST_CHECKED), 0);
  EXPECT_EQ(SignModeFromCheck(BST_INDETERMINATE), 2);
  EXPECT_EQ(SignModeFromCheck(7), 2);
  EXPECT_EQ(SignModeFromCheck(-1), 2);
}

TEST(SignFileJson, EmptyPaneAsksForTheFileAndAddsPathAndModeOfBox1008) {
  // A pane with an empty object or text that does not load counts as empty.
  const struct {
    const wchar_t* pane;
    int check;
    int mode;
  } cases[] = {{L"", BST_INDETERMINATE, 2},  {L"", BST_CHECKED, 0},
               {L"", BST_UNCHECKED, 1},      {L"{}", BST_CHECKED, 0},
               {L" { } ", BST_UNCHECKED, 1}, {L"not json", BST_INDETERMINATE, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "pane '" << c.pane << "' check " << c.check);
    SubstituteSession session;
    ScriptedUi ui;
    ui.jsonInput = c.pane;
    ui.signFileModeCheck = c.check;
    ui.fileAnswers = {kDocument};
    RunSignFileJson(ui);

    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(Describe(ui.fileRequests[0]), Describe(FileDialogRequest()));
    EXPECT_EQ(ui.dataExchanges, 1);
    const auto call = OnlyCall(session, "ATesselSignFileJson");
    EXPECT_EQ(call.Text("json"), std::wstring(L"{\"SignFile\":\"") + kDocumentJson +
                                     L"\",\"SignMode\":" + std::to_wstring(c.mode) + L"}");
    EXPECT_EQ(call.Int("callback"), AddressValue(&OutputLineCallback));
    EXPECT_EQ(call.Int("userValue"), UserValueOf(ui));
  }
}

TEST(SignFileJson, PaneWithMembersIsPassedAsLoadedWithoutADialog) {
  for (int check : {BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE}) {
    SubstituteSession session;
    ScriptedUi ui;
    ui.signFileModeCheck = check;
    ui.jsonInput =
        L"{ \"SignFile\" : \"D:\\\\a.txt\",\n  \"Extra\": [1, true, null], \"Име\": \"Иван\" }";
    RunSignFileJson(ui);
    EXPECT_TRUE(ui.fileRequests.empty());
    EXPECT_EQ(OnlyCall(session, "ATesselSignFileJson").Text("json"),
              L"{\"SignFile\":\"D:\\\\a.txt\",\"Extra\":[1,true,null],\"Име\":\"Иван\"}");
  }
}

TEST(SignFileJson, LibraryLinesReachThePaneThroughTheCallback) {
  SubstituteSession session;
  session.SetScript(
      "ATesselSignFileJson callback Подписване...\n"
      "ATesselSignFileJson callback-null\n"
      "ATesselSignFileJson callback Готово.\n");
  ScriptedUi ui;
  ui.jsonInput = L"{\"SignFile\":\"x\"}";
  RunSignFileJson(ui);
  EXPECT_EQ(ui.output, L"Подписване...\r\n\r\nГотово.\r\n");
  EXPECT_EQ(ui.refreshes, 3);
  EXPECT_TRUE(ui.messageBoxes.empty());
}

TEST(SigningCommands, CancelledFirstDialogCallsNothing) {
  for (auto run : {RunSignFileJson, RunSignFileFilter, RunSignInfo, RunIsP7S, RunP7MToP7S}) {
    SubstituteSession session;
    ScriptedUi ui;
    run(ui);
    EXPECT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_THAT(session.CallNames(), ElementsAreArray(NothingCalled()));
    EXPECT_TRUE(ui.messageBoxes.empty());
    EXPECT_EQ(ui.output, L"");
  }
}

TEST(SignFileFilter, PassesPathModeOfBox1022AndAZeroedBufferAndShowsItsText) {
  const struct {
    int check;
    int mode;
  } cases[] = {{BST_INDETERMINATE, 2}, {BST_CHECKED, 0}, {BST_UNCHECKED, 1}};
  for (const auto& c : cases) {
    SubstituteSession session;
    session.SetScript("ATesselSignFileFilter buffer 0 Подписан: отчет.pdf.p7s\n");
    ScriptedUi ui;
    ui.filterModeCheckState = c.check;
    // The data exchange state of box 1008 must not leak into this command.
    ui.signFileModeCheck = BST_CHECKED;
    ui.fileAnswers = {kDocument};
    RunSignFileFilter(ui);

    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(Describe(ui.fileRequests[0]), Describe(FileDialogRequest()));
    const auto call = OnlyCall(session, "ATesselSignFileFilter");
    EXPECT_EQ(call.Text("path"), kDocument);
    EXPECT_EQ(call.Int("signMode"), c.mode);
    EXPECT_EQ(call.Int("output.room"), 500);
    EXPECT_EQ(call.Int("output.zeros"), 500);
    EXPECT_EQ(call.Int("reserved"), 0);
    EXPECT_EQ(ui.output, L"Подписан: отчет.pdf.p7s\r\n");
  }
}

TEST(SignFileFilter, EmptyAndUnterminatedBuffersStayWithinTheBuffer) {
  SubstituteSession session;
  ScriptedUi ui;
  ui.fileAnswers = {kDocument, kDocument};
  RunSignFileFilter(ui);
  EXPECT_EQ(ui.output, L"\r\n");

  session.SetScript("ATesselSignFileFilter fill 0 Ж\n");
  RunSignFileFilter(ui);
  EXPECT_EQ(ui.output, L"\r\n" + std::wstring(499, L'Ж') + L"\r\n");
}

TEST(SignInfo, DetachedSignatureByLowerCasedExtensionAlsoAsksForTheData) {
  SubstituteSession session;
  ScriptedUi ui;
  ui.fileAnswers = {L"C:\\Подписи\\A.P7S", L"C:\\Данни\\a.pdf"};
  RunSignInfo(ui);
  ASSERT_EQ(ui.fileRequests.size(), 2u);
  EXPECT_EQ(Describe(ui.fileRequests[0]), Describe(SignedFilesRequest()));
  EXPECT_EQ(Describe(ui.fileRequests[1]), Describe(OpenRequest(L"All files", L"*.*", L"")));
  const auto call = OnlyCall(session, "ATesselSignInfoJson");
  EXPECT_EQ(call.Text("json"),
            L"{\"DataFile\":\"C:\\\\Данни\\\\a.pdf\",\"SignFile\":\"C:\\\\Подписи\\\\A.P7S\"}");
  EXPECT_EQ(call.Int("callback"), AddressValue(&OutputLineCallback));
  EXPECT_EQ(call.Int("userValue"), UserValueOf(ui));
}

TEST(SignInfo, OtherSignaturesGoAlone) {
  for (const wchar_t* signature :
       {L"C:\\s\\a.p7m", L"C:\\s\\.p7s", L"C:\\s.p7s\\a", L"C:\\s\\a.p7s.bak"}) {
    SubstituteSession session;
    ScriptedUi ui;
    ui.fileAnswers = {signature};
    RunSignInfo(ui);
    EXPECT_EQ(ui.fileRequests.size(), 1u) << signature;
    std::wstring escaped;
    for (wchar_t c : std::wstring(signature)) escaped += c == L'\\' ? L"\\\\" : std::wstring(1, c);
    EXPECT_EQ(OnlyCall(session, "ATesselSignInfoJson").Text("json"),
              L"{\"SignFile\":\"" + escaped + L"\"}");
  }
}

TEST(IsP7S, ShowsTheVerdictOfTheOneByteResult) {
  const struct {
    const char* script;
    const wchar_t* verdict;
  } cases[] = {{"ATesselIsP7S return 1\n", L"It is a P7S file!"},
               {"ATesselIsP7S return 0x80\n", L"It is a P7S file!"},
               {"ATesselIsP7S return 0\n", L"NOOO It is not a P7S file!"}};
  for (const auto& c : cases) {
    SubstituteSession session;
    session.SetScript(c.script);
    ScriptedUi ui;
    ui.fileAnswers = {L"C:\\s\\a.p7s"};
    RunIsP7S(ui);
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(Describe(ui.fileRequests[0]), Describe(SignedFilesRequest()));
    const auto call = OnlyCall(session, "ATesselIsP7S");
    EXPECT_EQ(call.Text("path"), L"C:\\s\\a.p7s");
    EXPECT_EQ(call.Int("callback"), AddressValue(&ErrorBoxCallback));
    EXPECT_EQ(call.Int("userValue"), UserValueOf(ui));
    ASSERT_EQ(ui.messageBoxes.size(), 1u);
    EXPECT_EQ(ui.messageBoxes[0].text, c.verdict);
    EXPECT_EQ(ui.messageBoxes[0].owner, ui.window);
    EXPECT_FALSE(ui.messageBoxes[0].caption.has_value());
    EXPECT_EQ(ui.messageBoxes[0].type, static_cast<UINT>(MB_OK));
  }
}

TEST(IsP7S, LibraryErrorsArriveAsErrorBoxesBeforeTheVerdict) {
  SubstituteSession session;
  session.SetScript("ATesselIsP7S callback Файлът не може да се отвори\nATesselIsP7S return 0\n");
  ScriptedUi ui;
  ui.fileAnswers = {L"C:\\a.p7s"};
  RunIsP7S(ui);
  ASSERT_EQ(ui.messageBoxes.size(), 2u);
  EXPECT_EQ(ui.messageBoxes[0].text, L"Файлът не може да се отвори");
  EXPECT_EQ(ui.messageBoxes[0].caption, std::optional<std::wstring>(L"Error"));
  EXPECT_EQ(ui.messageBoxes[0].owner, ui.window);
  EXPECT_EQ(ui.messageBoxes[1].text, L"NOOO It is not a P7S file!");
}

TEST(P7MToP7S, ProposesTheDetachedNameAndPassesBothPaths) {
  const struct {
    const wchar_t* source;
    const wchar_t* proposal;
  } cases[] = {{L"C:\\d\\x.p7m", L"C:\\d\\x.p7s"},
               {L"C:\\d\\x.tar.gz", L"C:\\d\\x.tar.p7s"},
               {L"C:\\d\\x", L"C:\\d\\x.p7s"},
               {L"C:\\d.v2\\x", L"C:\\d.v2\\x.p7s"},
               {L"C:\\d\\.p7m", L"C:\\d\\.p7m.p7s"}};
  for (const auto& c : cases) {
    SubstituteSession session;
    session.SetScript("ATesselP7M2P7S return 1\n");
    ScriptedUi ui;
    ui.fileAnswers = {c.source, L"E:\\изход.p7s"};
    RunP7MToP7S(ui);

    ASSERT_EQ(ui.fileRequests.size(), 2u);
    FileDialogRequest source = OpenRequest(L"Signed Files", L"*.p7m", L".p7m");
    source.pathRoom = 1048;
    source.maxFile = 1047;
    EXPECT_EQ(Describe(ui.fileRequests[0]), Describe(source));
    FileDialogRequest target = OpenRequest(L"Detached sign", L"*.p7s", L".p7s");
    target.kind = FileDialogRequest::Kind::Save;
    target.initialName = c.proposal;
    target.pathRoom = 1048;
    target.maxFile = 1047;
    EXPECT_EQ(Describe(ui.fileRequests[1]), Describe(target)) << c.source;

    const auto call = OnlyCall(session, "ATesselP7M2P7S");
    EXPECT_EQ(call.Text("sourcePath"), c.source);
    EXPECT_EQ(call.Text("targetPath"), L"E:\\изход.p7s");
    EXPECT_TRUE(ui.messageBoxes.empty());
  }
}

TEST(P7MToP7S, LongProposalFitsItsBufferAndFailureIsReported) {
  SubstituteSession session;
  session.SetScript("ATesselP7M2P7S return 0\n");
  ScriptedUi ui;
  // A source without an extension whose proposal is longer than the usual
  // room. The system's dialog returns a path only when nMaxFile is larger
  // than its length.
  const std::wstring source = L"C:\\" + std::wstring(1100, L'a');
  ui.fileAnswers = {source, L"C:\\t.p7s"};
  RunP7MToP7S(ui);
  ASSERT_EQ(ui.fileRequests.size(), 2u);
  const FileDialogRequest& target = ui.fileRequests[1];
  EXPECT_EQ(target.initialName, source + L".p7s");
  EXPECT_GT(target.maxFile, target.initialName.size());
  EXPECT_EQ(target.maxFile, target.pathRoom - 1);
  ASSERT_EQ(ui.messageBoxes.size(), 1u);
  EXPECT_EQ(ui.messageBoxes[0].text, L"Error converting P7M to P7S");
  EXPECT_EQ(ui.messageBoxes[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_FALSE(ui.messageBoxes[0].caption.has_value());
  EXPECT_EQ(ui.messageBoxes[0].owner, ui.window);
}

TEST(SigningCommands, CancelledSecondDialogCallsNothing) {
  // The data file of a detached signature, the target of a conversion.
  const struct {
    void (*run)(ConsoleUi&);
    const wchar_t* firstAnswer;
  } cases[] = {{RunSignInfo, L"C:\\s\\a.p7s"}, {RunP7MToP7S, L"C:\\x.p7m"}};
  for (const auto& c : cases) {
    SubstituteSession session;
    ScriptedUi ui;
    ui.fileAnswers = {c.firstAnswer, std::nullopt};
    c.run(ui);
    EXPECT_EQ(ui.fileRequests.size(), 2u) << c.firstAnswer;
    EXPECT_THAT(session.CallNames(), ElementsAreArray(NothingCalled()));
    EXPECT_TRUE(ui.messageBoxes.empty());
  }
}

}  // namespace
