// The two library-dialog buttons of the real console against the substitute
// Tessel.dll and its variants, and against no library at all.
#include <gmock/gmock.h>

#include <cwchar>
#include <fstream>

#include "CallLogReader.h"
#include "ConsoleFixture.h"

using dialog_test::MessageBoxWatcher;
using dialog_test::PostClick;
using dialog_test::ProgramFolder;
using dialog_test::WaitFor;
using tessel_substitute::ReadCallLog;
using tessel_substitute::RecordNames;
using tessel_substitute::RecordsNamed;
using ::testing::ElementsAre;

namespace {

// What the console shows for a failed load or look-up: the system's text
// for the code when it has one, then the code in hexadecimal.
std::wstring ExpectedErrorText(DWORD code) {
  wchar_t* text = nullptr;
  DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
      nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  std::wstring result;
  if (length != 0 && text != nullptr) {
    result = L"Msg: " + std::wstring(text, length) + L"\n";
    ::LocalFree(text);
  }
  wchar_t hex[16] = {};
  std::swprintf(hex, 16, L"%lx", static_cast<unsigned long>(code));
  return result + L"Error 0x" + hex;
}

std::wstring TempPath(const wchar_t* name) {
  wchar_t folder[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + name + std::to_wstring(::GetCurrentProcessId());
}

// Makes the console's bare-name load of Tessel.dll find the build in
// `folder` (a folder beside this program, or none), and records the
// substitute's calls in a log of its own.
class LibraryButtons : public ConsoleFixture {
 protected:
  void UseLibrary(const wchar_t* folder) {
    std::wstring path = ProgramFolder() + L"substitutes\\" + folder;
    ASSERT_TRUE(::SetDllDirectoryW(path.c_str()));
  }
  void SetUp() override {
    log_ = TempPath(L"tessel-dialog-log-");
    ::DeleteFileW(log_.c_str());
    ::SetEnvironmentVariableW(L"TESSEL_SUBSTITUTE_LOG", log_.c_str());
    ::SetEnvironmentVariableW(L"TESSEL_SUBSTITUTE_SCRIPT", nullptr);
    ConsoleFixture::SetUp();
  }
  void TearDown() override {
    ConsoleFixture::TearDown();
    ::SetDllDirectoryW(nullptr);
    ::SetEnvironmentVariableW(L"TESSEL_SUBSTITUTE_LOG", nullptr);
    ::DeleteFileW(log_.c_str());
  }
  // Waits until the command's handler has returned and freed the library.
  bool LibraryReleased() {
    return WaitFor([] { return ::GetModuleHandleW(L"Tessel.dll") == nullptr; }) &&
           WaitFor([this] { return ::IsWindowEnabled(dialog_) != FALSE; });
  }

  // Clicks button `id`, waits until `boxes` has seen `expectedBoxes` message
  // boxes in all, then until the command has freed the library.
  ::testing::AssertionResult ClickAndAwaitRelease(MessageBoxWatcher& boxes, int id,
                                                  size_t expectedBoxes) {
    PostClick(dialog_, id);
    if (!boxes.WaitForCount(expectedBoxes))
      return ::testing::AssertionFailure() << "no message box " << expectedBoxes;
    if (!LibraryReleased()) return ::testing::AssertionFailure() << "library still loaded";
    return ::testing::AssertionSuccess();
  }

  std::wstring log_;
};

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
  UseLibrary(L"none");
  MessageBoxWatcher boxes;
  ASSERT_TRUE(ClickAndAwaitRelease(boxes, 1001, 1));
  auto seen = boxes.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].owner, dialog_);
  EXPECT_EQ(seen[0].caption, L"TesselTest");
  EXPECT_EQ(seen[0].text, ExpectedErrorText(ERROR_MOD_NOT_FOUND));
  EXPECT_TRUE(ReadCallLog(log_).empty());
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
