#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "console/LibraryCall.h"
#include "console/LibraryDialogCommands.h"
#include "tests/console/ExpectedTexts.h"
#include "tests/console/MessageBoxWatcher.h"
#include "tests/console/ScriptedUi.h"
#include "tests/testing/SubstituteSession.h"

namespace {

using ::testing::ElementsAre;
using Build = SubstituteSession::Build;

std::int64_t HandleValue(HWND window) {
  return static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(window));
}

bool TesselLoaded() { return GetModuleHandleW(L"Tessel.dll") != nullptr; }

void ExpectOneErrorBox(const ScriptedUi& ui, std::uint32_t code) {
  ASSERT_EQ(ui.messageBoxes.size(), 1u);
  const ScriptedUi::MessageBoxShown& box = ui.messageBoxes[0];
  EXPECT_EQ(box.owner, ui.window);
  EXPECT_EQ(box.text, ExpectedErrorText(code));
  EXPECT_FALSE(box.caption.has_value()) << "the default caption is expected";
  EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));
}

TEST(LibraryCall, MissingLibraryShowsTheLoadErrorAndRunsNothing) {
  SubstituteSession session(Build::None);
  ScriptedUi ui;
  bool bodyRan = false;
  LibraryCall<ATesselShowAboutBoxFn>(ui, kATesselShowAboutBox,
                                     [&](ATesselShowAboutBoxFn) { bodyRan = true; });
  EXPECT_FALSE(bodyRan);
  ExpectOneErrorBox(ui, ERROR_MOD_NOT_FOUND);
  EXPECT_TRUE(session.Calls().empty());
  EXPECT_EQ(ui.output, L"");
}

TEST(LibraryCall, MissingInitShowsTheLookUpErrorAndFreesTheLibrary) {
  SubstituteSession session(Build::NoInit);
  ScriptedUi ui;
  RunShowAboutBox(ui);
  ExpectOneErrorBox(ui, ERROR_PROC_NOT_FOUND);
  // Loaded, nothing called, released.
  EXPECT_THAT(session.CallNames(), ElementsAre("load", "unload"));
  EXPECT_FALSE(TesselLoaded());
}

TEST(LibraryCall, MissingCommandExportStillInitialisesFirst) {
  SubstituteSession session(Build::NoAbout);
  ScriptedUi ui;
  RunShowAboutBox(ui);
  ExpectOneErrorBox(ui, ERROR_PROC_NOT_FOUND);
  const auto calls = session.Calls();
  ASSERT_THAT(tessel_substitute::RecordNames(calls), ElementsAre("load", "ATesselInit", "unload"));
  EXPECT_EQ(calls[1].Int("owner"), HandleValue(ui.window));
  EXPECT_FALSE(TesselLoaded());
}

TEST(LibraryCall, FullRunInitialisesCallsAndReleases) {
  SubstituteSession session;
  ScriptedUi ui;
  RunShowAboutBox(ui);
  RunShowSettingsDialog(ui);
  EXPECT_TRUE(ui.messageBoxes.empty());
  EXPECT_EQ(ui.output, L"");
  const auto calls = session.Calls();
  ASSERT_THAT(tessel_substitute::RecordNames(calls),
              ElementsAre("load", "ATesselInit", "ATesselShowAboutBox", "unload", "load",
                          "ATesselInit", "ATesselShowSettingsDialog", "unload"));
  EXPECT_EQ(calls[1].Int("owner"), HandleValue(ui.window));
  EXPECT_EQ(calls[5].Int("owner"), HandleValue(ui.window));
  EXPECT_FALSE(TesselLoaded());
}

TEST(LibraryCall, SecondClickLoadsTheLibraryAfresh) {
  SubstituteSession session;
  ScriptedUi ui;
  // The library shows a box owned by the window it was initialised with; the
  // second click gets a fresh library that is initialised again.
  RunShowAboutBox(ui);
  ui.window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x00C0FFEE));
  RunShowAboutBox(ui);
  const auto inits = tessel_substitute::RecordsNamed(session.Calls(), "ATesselInit");
  ASSERT_EQ(inits.size(), 2u);
  EXPECT_EQ(inits[1].Int("owner"), 0x00C0FFEE);
  EXPECT_THAT(session.CallNames(),
              ElementsAre("load", "ATesselInit", "ATesselShowAboutBox", "unload", "load",
                          "ATesselInit", "ATesselShowAboutBox", "unload"));
}

TEST(LibraryCall, ExportResultIsIgnoredAndNothingIsAdded) {
  SubstituteSession session;
  session.SetScript(
      "ATesselInit return 0\n"
      "ATesselShowSettingsDialog return -1\n");
  ScriptedUi ui;
  RunShowSettingsDialog(ui);
  EXPECT_TRUE(ui.messageBoxes.empty());
  EXPECT_EQ(ui.output, L"");
  EXPECT_THAT(session.CallNames(),
              ElementsAre("load", "ATesselInit", "ATesselShowSettingsDialog", "unload"));
}

TEST(LibraryCall, LibraryIsReleasedWhenTheBodyThrows) {
  SubstituteSession session;
  ScriptedUi ui;
  EXPECT_THROW(LibraryCall<ATesselShowAboutBoxFn>(
                   ui, kATesselShowAboutBox,
                   [](ATesselShowAboutBoxFn) { throw std::runtime_error("body failed"); }),
               std::runtime_error);
  EXPECT_FALSE(TesselLoaded());
  EXPECT_THAT(session.CallNames(), ElementsAre("load", "ATesselInit", "unload"));
}

TEST(LibraryCall, BodyGetsTheResolvedExport) {
  SubstituteSession session;
  ScriptedUi ui;
  session.SetScript("ATesselSignFileJson return 5\n");
  int result = 0;
  LibraryCall<ATesselSignFileJsonFn>(ui, kATesselSignFileJson, [&](ATesselSignFileJsonFn sign) {
    result = sign(L"{\"SignFile\":\"C:\\\\x.txt\"}", OutputLineCallback, UserValueOf(ui));
  });
  EXPECT_EQ(result, 5);
  const auto calls = tessel_substitute::RecordsNamed(session.Calls(), "ATesselSignFileJson");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].Text("json"), L"{\"SignFile\":\"C:\\\\x.txt\"}");
  EXPECT_EQ(calls[0].Int("userValue"), UserValueOf(ui));
  EXPECT_EQ(calls[0].Int("callback"),
            static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(&OutputLineCallback)));
}

TEST(LibraryCall, DemonstrationBoxIsOwnedByTheInitWindow) {
  // Without a script the substitute's About export shows a box of its own,
  // owned by the window handed to ATesselInit.
  SubstituteSession session;
  session.RemoveScript();
  ScriptedUi ui;
  HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  ui.window = owner;
  {
    MessageBoxWatcher watcher;
    RunShowAboutBox(ui);
    const auto seen = watcher.SeenSoFar();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].owner, owner);
    EXPECT_THAT(seen[0].text, ::testing::HasSubstr(L"Substitute Tessel.dll"));
  }
  DestroyWindow(owner);
}

// Records the cursor whenever the library writes a line.
class CursorRecordingUi : public ScriptedUi {
 public:
  std::vector<HCURSOR> cursorsAtOutput;
  void AppendOutputLine(const wchar_t* text) override {
    cursorsAtOutput.push_back(GetCursor());
    ScriptedUi::AppendOutputLine(text);
  }
};

TEST(LibraryCall, WaitCursorShowsWhileTheLibraryWorksAndGoesAfterwards) {
  SubstituteSession session;
  session.SetScript("ATesselSignFileJson callback working\n");
  const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  SetCursor(arrow);
  CursorRecordingUi ui;
  LibraryCall<ATesselSignFileJsonFn>(ui, kATesselSignFileJson, [&](ATesselSignFileJsonFn sign) {
    sign(L"{}", OutputLineCallback, UserValueOf(ui));
  });
  ASSERT_EQ(ui.cursorsAtOutput.size(), 1u);
  EXPECT_EQ(ui.cursorsAtOutput[0], LoadCursorW(nullptr, IDC_WAIT));
  EXPECT_EQ(GetCursor(), arrow);
}

}  // namespace
