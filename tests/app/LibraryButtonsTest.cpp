// The two library-dialog buttons of the real console against the substitute
// Tessel.dll and its variants, and against no library at all.
#include <gmock/gmock.h>

#include <cwchar>
#include <fstream>

#include "testing/CallLogReader.h"
#include "tests/app/LibraryButtonsFixture.h"

using dialog_test::MessageBoxWatcher;
using dialog_test::PostClick;
using dialog_test::ProgramFolder;
using dialog_test::WaitFor;
using tessel_substitute::ReadCallLog;
using tessel_substitute::RecordNames;
using tessel_substitute::RecordsNamed;
using ::testing::ElementsAre;

namespace {

TEST_F(LibraryButtons, ShowAboutBoxInitialisesAndCallsTheLibraryEachTimeAfresh) {
  UseLibrary(L"full");
  MessageBoxWatcher boxes;
  ASSERT_TRUE(ClickAndAwaitRelease(boxes, 1007, 1));
  ASSERT_TRUE(ClickAndAwaitRelease(boxes, 1007, 2));

  // The substitute's own box, owned by the console handed to ATesselInit.
  for (const auto& box : boxes.Seen()) {
    EXPECT_EQ(box.owner, dialog_);
    EXPECT_EQ(box.caption, L"Tessel.dll (substitute)");
  }
  auto records = ReadCallLog(log_);
  auto names = RecordNames(records);
  names.erase(std::remove_if(names.begin(), names.end(),
                             [](const std::string& n) { return n.find(':') != std::string::npos; }),
              names.end());
  // Loaded, initialised, called and unloaded again by each click.
  EXPECT_THAT(names, ElementsAre("load", "ATesselInit", "ATesselShowAboutBox", "unload", "load",
                                 "ATesselInit", "ATesselShowAboutBox", "unload"));
  for (const auto& init : RecordsNamed(records, "ATesselInit")) {
    EXPECT_EQ(init.Int("owner"), reinterpret_cast<std::intptr_t>(dialog_));
  }
}

TEST_F(LibraryButtons, ShowSettingsDialogCallsItsExport) {
  UseLibrary(L"full");
  MessageBoxWatcher boxes;
  ASSERT_TRUE(ClickAndAwaitRelease(boxes, 1001, 1));
  auto names = RecordNames(ReadCallLog(log_));
  EXPECT_NE(std::find(names.begin(), names.end(), "ATesselShowSettingsDialog"), names.end());
  EXPECT_EQ(std::find(names.begin(), names.end(), "ATesselShowAboutBox"), names.end());
}

TEST_F(LibraryButtons, MissingLibraryIsReportedWithTheLoadError) {
  ExpectLoadFailure(L"none", ERROR_MOD_NOT_FOUND);
}

// A Tessel.dll built for the other architecture cannot be loaded: the
// system's bad-format error, as the user sees it for a 64-bit library
// beside the x86 console or a 32-bit one beside the x64 console.
TEST_F(LibraryButtons, LibraryOfTheOtherArchitectureIsReportedWithTheLoadError) {
  const std::wstring other =
      dialog_test::ProgramFolder() + L"substitutes\\other_architecture\\Tessel.dll";
  if (::GetFileAttributesW(other.c_str()) == INVALID_FILE_ATTRIBUTES) {
    GTEST_SKIP() << "no substitute of the other architecture: its mingw-w64 compiler is missing";
  }
  ExpectLoadFailure(L"other_architecture", ERROR_BAD_EXE_FORMAT);
}

TEST_F(LibraryButtons, MissingExportIsReportedAfterInitialisation) {
  UseLibrary(L"no_about");
  MessageBoxWatcher boxes;
  ASSERT_TRUE(ClickAndAwaitRelease(boxes, 1007, 1));
  auto seen = boxes.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, L"TesselTest");
  EXPECT_EQ(seen[0].text, ExpectedErrorText(ERROR_PROC_NOT_FOUND));
  auto names = RecordNames(ReadCallLog(log_));
  EXPECT_THAT(names, ElementsAre("load", "ATesselInit", "unload"));
}

TEST_F(LibraryButtons, LibraryWithoutInitialisationIsNotCalled) {
  UseLibrary(L"no_init");
  MessageBoxWatcher boxes;
  ASSERT_TRUE(ClickAndAwaitRelease(boxes, 1001, 1));
  auto seen = boxes.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, ExpectedErrorText(ERROR_PROC_NOT_FOUND));
  EXPECT_THAT(RecordNames(ReadCallLog(log_)), ElementsAre("load", "unload"));
}

}  // namespace
