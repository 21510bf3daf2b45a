// The command buttons of the real console, end to end: each reaches its
// command, and a few commands run through the system's real file dialogs
// against the substitute Tessel.dll.
#include <gmock/gmock.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "tests/app/LibraryButtonsFixture.h"
#include "tests/testing/FileDialogControls.h"

namespace {

using dialog_test::WaitForFileDialog;
using dialog_test::WindowText;
using tessel_substitute::RecordNames;
using tessel_substitute::RecordsNamed;
using ::testing::ElementsAre;

namespace fs = std::filesystem;

// A folder with one file in it, for the file dialogs to find.
class FileFolder {
 public:
  explicit FileFolder(const wchar_t* fileName) {
    folder_ = fs::path(TempPath(L"tessel-buttons-"));
    fs::create_directories(folder_);
    file_ = folder_ / fileName;
    ::CloseHandle(
        ::CreateFileW(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  }
  ~FileFolder() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  std::wstring File() const { return file_.wstring(); }
  std::wstring Folder() const { return folder_.wstring(); }

 private:
  fs::path folder_;
  fs::path file_;
};

TEST_F(LibraryButtons, EveryLibraryCommandButtonRunsTheProtocol) {
  // Without a library each command reports the load error and goes no
  // further: one box per click proves the button reaches a library command.
  UseLibrary(L"none");
  MessageBoxWatcher boxes;
  const int buttons[] = {1000, 1001, 1002, 1003, 1004, 1006, 1007, 1009,
                         1010, 1011, 1012, 1014, 1016, 1017, 1021, 1023};
  size_t expected = 0;
  for (int id : buttons) {
    ASSERT_TRUE(ClickAndAwaitRelease(boxes, id, ++expected)) << "button " << id;
  }
  for (const auto& box : boxes.Seen()) {
    EXPECT_EQ(box.owner, dialog_);
    EXPECT_EQ(box.text, ExpectedErrorText(ERROR_MOD_NOT_FOUND));
  }
}

TEST_F(LibraryButtons, EveryCommandButtonReachesItsOwnCommand) {
  UseLibrary(L"full");
  FileFolder files(L"документ.p7m");
  // With members in the JSON pane, neither JSON command asks for a file.
  ::SendMessageW(Item(1020), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"{\"x\":1}"));
  MessageBoxWatcher boxes;
  const struct {
    int id;
    const char* exportName;
  } libraryButtons[] = {
      {1000, "ATesselSignFileJson"},       {1001, "ATesselShowSettingsDialog"},
      {1002, "ATesselDecryptVerifyFile"},  {1003, "ATesselEncryptFile"},
      {1004, "ATesselSignAndEncryptFile"}, {1006, "ATesselExtractFile"},
      {1007, "ATesselShowAboutBox"},       {1009, "ATesselSelectCertificateJson"},
      {1010, "ATesselSignInfoJson"},       {1011, "ATesselIsP7S"},
      {1012, "ATesselCertInfoJson"},       {1014, "ATesselCertStoreInfo"},
      {1016, "ATesselSelectCertificate"},  {1017, "ATesselP7M2P7S"},
      {1021, "ATesselSignFileFilter"},     {1023, "ATesselSelectCertificate"},
  };
  for (const auto& button : libraryButtons) {
    ::SendMessageW(Item(1013), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    EXPECT_THAT(ClickAndAnswerDialogs(button.id, files.File()), ElementsAre(button.exportName))
        << "button " << button.id;
    ASSERT_TRUE(LibraryReleased()) << "button " << button.id;
  }
  // The two certificate selections differ in what they show: the old one
  // labels its four values.
  EXPECT_EQ(WindowText(Item(1013)).rfind(L"CN: ", 0), 0u);

  // The commands of the console's own, each known by its first box.
  const struct {
    int id;
    const wchar_t* firstBox;
  } ownButtons[] = {
      {1005, L"Fail"},  // the chosen file is empty, no signed message
      {1015, L"Certificate for \"Sample Subject Name\" not found"},
      {1018, L"C:\\Users\\qelmar\\Desktop\\test\\test.txt"},
  };
  const size_t callsBefore = Calls().size();
  for (const auto& button : ownButtons) {
    const size_t seen = boxes.Count();
    dialog_test::PostClick(dialog_, button.id);
    if (button.id == 1005) {
      HWND open = WaitForFileDialog();
      ASSERT_NE(open, nullptr);
      file_dialog_test::Choose(open, files.File());
    }
    ASSERT_TRUE(boxes.WaitForCount(seen + 1)) << "button " << button.id;
    EXPECT_EQ(boxes.Seen()[seen].text, button.firstBox) << "button " << button.id;
    ASSERT_TRUE(dialog_test::WaitFor([&] { return ::IsWindowEnabled(dialog_) != FALSE; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
  EXPECT_EQ(Calls().size(), callsBefore);
}

TEST_F(LibraryButtons, AClickWhileACommandRunsIsIgnored) {
  UseLibrary(L"full");
  FileFolder files(L"документ.txt");
  dialog_test::PostClick(dialog_, 1000);
  HWND open = WaitForFileDialog();
  ASSERT_NE(open, nullptr);
  // The dialog has no owner, so the console takes the click.
  dialog_test::PostClick(dialog_, 1006);
  dialog_test::PostClick(dialog_, 1018);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  file_dialog_test::Choose(open, files.File());
  ASSERT_TRUE(LibraryReleased());
  ASSERT_TRUE(dialog_test::WaitFor([&] { return !RecordsNamed(Calls(), "unload").empty(); }));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  std::vector<std::string> names;
  for (const std::string& name : RecordNames(Calls())) {
    if (name.find(':') == std::string::npos) names.push_back(name);
  }
  EXPECT_THAT(names, ElementsAre("load", "ATesselInit", "ATesselSignFileJson", "unload"));
  // Once the command has ended, the next click runs.
  MessageBoxWatcher boxes;
  dialog_test::PostClick(dialog_, 1018);
  EXPECT_TRUE(boxes.WaitForCount(4));
}

TEST_F(LibraryButtons, TheCommandsReadTheJsonPaneAndTheBoxesAsTheUserLeftThem) {
  UseLibrary(L"full");
  MessageBoxWatcher boxes;
  FileFolder files(L"сертификат.p12");
  // Typed compact JSON reaches the export as it stands.
  const std::wstring typed = L"{\"SignFile\":\"C:\\\\Документи\\\\отчет.pdf\",\"SignMode\":0}";
  ::SendMessageW(Item(1020), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
  ClickAndAnswerDialogs(1000, files.File());
  ASSERT_TRUE(LibraryReleased());
  ::SendMessageW(Item(1020), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  // Box 1019 cleared: the certificate comes from a file.
  ::SendMessageW(Item(1019), BM_CLICK, 0, 0);
  ClickAndAnswerDialogs(1009, files.File());
  ASSERT_TRUE(LibraryReleased());
  // Box 1022 as it starts (indeterminate), then clicked once (clear) and
  // twice (checked).
  for (int clicks = 0; clicks < 3; ++clicks) {
    if (clicks > 0) ::SendMessageW(Item(1022), BM_CLICK, 0, 0);
    ClickAndAnswerDialogs(1021, files.File());
    ASSERT_TRUE(LibraryReleased());
  }

  const auto calls = Calls();
  const auto sign = RecordsNamed(calls, "ATesselSignFileJson");
  ASSERT_EQ(sign.size(), 1u);
  EXPECT_EQ(sign[0].Text("json"), typed);
  const auto select = RecordsNamed(calls, "ATesselSelectCertificateJson");
  ASSERT_EQ(select.size(), 1u);
  std::wstring escaped;
  for (wchar_t c : files.File()) escaped += c == L'\\' ? L"\\\\" : std::wstring(1, c);
  EXPECT_EQ(select[0].Text("json"), L"{\"Filename\":\"" + escaped + L"\"}");
  const auto filter = RecordsNamed(calls, "ATesselSignFileFilter");
  ASSERT_EQ(filter.size(), 3u);
  EXPECT_EQ(filter[0].Int("signMode"), 2);
  EXPECT_EQ(filter[1].Int("signMode"), 1);
  EXPECT_EQ(filter[2].Int("signMode"), 0);
}

TEST_F(LibraryButtons, TheConsoleOutlivesALibraryThatFails) {
  UseLibrary(L"full");
  UseScript("ATesselShowAboutBox fault null-write\n");
  ::SendMessageW(Item(1013), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Earlier line\r\n"));
  MessageBoxWatcher boxes;
  ASSERT_TRUE(ClickAndAwaitRelease(boxes, 1007, 1));
  const auto seen = boxes.Seen();
  EXPECT_EQ(seen[0].owner, dialog_);
  EXPECT_EQ(seen[0].caption, L"TesselTest");
  EXPECT_EQ(
      seen[0].text.rfind(L"ATesselShowAboutBox failed: exception 0xC0000005 at Tessel.dll+0x", 0),
      0u)
      << seen[0].text;
  EXPECT_EQ(WindowText(Item(1013)), L"Earlier line\r\n" + seen[0].text + L"\r\n");
  // The next click loads the library afresh and runs.
  UseScript("ATesselShowAboutBox box again\n");
  ASSERT_TRUE(ClickAndAwaitRelease(boxes, 1007, 2));
  EXPECT_EQ(boxes.Seen()[1].text, L"again");
}

TEST_F(LibraryButtons, SignFileJsonThroughTheRealOpenDialog) {
  UseLibrary(L"full");
  UseScript("ATesselSignFileJson callback Подписано.\n");
  FileFolder files(L"документ.txt");
  dialog_test::PostClick(dialog_, 1000);
  HWND open = WaitForFileDialog();
  ASSERT_NE(open, nullptr);
  // No owner: the console stays usable while the dialog is open.
  EXPECT_EQ(::GetWindow(open, GW_OWNER), nullptr);
  file_dialog_test::Choose(open, files.File());
  ASSERT_TRUE(LibraryReleased());
  ASSERT_TRUE(dialog_test::WaitFor([&] { return !RecordsNamed(Calls(), "unload").empty(); }));

  const auto calls = RecordsNamed(Calls(), "ATesselSignFileJson");
  ASSERT_EQ(calls.size(), 1u);
  std::wstring escaped;
  for (wchar_t c : files.File()) escaped += c == L'\\' ? L"\\\\" : std::wstring(1, c);
  // Box 1008 starts indeterminate: the library chooses the mode.
  EXPECT_EQ(calls[0].Text("json"), L"{\"SignFile\":\"" + escaped + L"\",\"SignMode\":2}");
  // The dialog object's own address, the same as its ConsoleUi part's.
  EXPECT_EQ(calls[0].Int("userValue"),
            static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(dialogObject_.load())));
  EXPECT_EQ(calls[0].Int("userValue"),
            static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(console_.load())));
  EXPECT_EQ(WindowText(Item(1013)), L"Подписано.\r\n");
}

TEST_F(LibraryButtons, CancelledRealDialogEndsTheCommandSilently) {
  UseLibrary(L"full");
  MessageBoxWatcher boxes;
  for (int id : {1002, 1006}) {
    dialog_test::PostClick(dialog_, id);
    HWND open = WaitForFileDialog();
    ASSERT_NE(open, nullptr) << id;
    file_dialog_test::Cancel(open);
    ASSERT_TRUE(LibraryReleased());
  }
  EXPECT_EQ(boxes.Count(), 0u);
  EXPECT_THAT(RecordNames(Calls()),
              ElementsAre("load", "ATesselInit", "unload", "load", "ATesselInit", "unload"));
  EXPECT_EQ(WindowText(Item(1013)), L"");
}

TEST_F(LibraryButtons, P7MToP7SProposesTheTargetInTheRealSaveDialog) {
  UseLibrary(L"full");
  UseScript("ATesselP7M2P7S return 0\n");
  FileFolder files(L"писмо.p7m");
  MessageBoxWatcher boxes;
  dialog_test::PostClick(dialog_, 1017);
  HWND open = WaitForFileDialog();
  ASSERT_NE(open, nullptr);
  file_dialog_test::Choose(open, files.File());
  ASSERT_TRUE(dialog_test::WaitFor([&] { return !::IsWindow(open); }));
  HWND save = WaitForFileDialog();
  ASSERT_NE(save, nullptr);
  // The dialog shows the proposed name (Wine shows the name within the
  // folder of the proposal).
  const std::wstring shown = file_dialog_test::FileNameText(save);
  EXPECT_TRUE(shown == files.Folder() + L"\\писмо.p7s" || shown == L"писмо.p7s") << shown;
  file_dialog_test::Choose(save, files.Folder() + L"\\отделен.p7s");
  ASSERT_TRUE(boxes.WaitForCount(1));
  ASSERT_TRUE(LibraryReleased());

  const auto calls = RecordsNamed(Calls(), "ATesselP7M2P7S");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].Text("sourcePath"), files.File());
  EXPECT_EQ(calls[0].Text("targetPath"), files.Folder() + L"\\отделен.p7s");
  EXPECT_EQ(boxes.Seen()[0].text, L"Error converting P7M to P7S");
  EXPECT_EQ(boxes.Seen()[0].caption, L"TesselTest");
  EXPECT_EQ(boxes.Seen()[0].owner, dialog_);
}

TEST_F(LibraryButtons, ExtractFileReportsTheResultInTheOutputPane) {
  UseLibrary(L"full");
  FileFolder files(L"подписан.p7m");
  UseScript("ATesselExtractFile return 0\n");
  dialog_test::PostClick(dialog_, 1006);
  HWND open = WaitForFileDialog();
  ASSERT_NE(open, nullptr);
  file_dialog_test::Choose(open, files.File());
  ASSERT_TRUE(dialog_test::WaitFor([&] { return WindowText(Item(1013)) == L"false"; }));
  ASSERT_TRUE(LibraryReleased());
  const auto calls = RecordsNamed(Calls(), "ATesselExtractFile");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].Text("directory"), files.Folder());
}

TEST_F(LibraryButtons, TestShowsItsFourFieldsAndLoadsNoLibrary) {
  UseLibrary(L"full");
  MessageBoxWatcher boxes;
  dialog_test::PostClick(dialog_, 1018);
  ASSERT_TRUE(boxes.WaitForCount(4));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const auto seen = boxes.Seen();
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0].text, L"C:\\Users\\qelmar\\Desktop\\test\\test.txt");
  EXPECT_EQ(seen[1].text, L"2");
  EXPECT_EQ(seen[2].text, L"");
  EXPECT_EQ(seen[3].text.rfind(L"[{\"title\" : \"Sectigo\",\"url\" : \"", 0), 0u) << seen[3].text;
  for (const auto& box : seen) {
    EXPECT_EQ(box.owner, dialog_);
    EXPECT_EQ(box.caption, L"TesselTest");
  }
  EXPECT_TRUE(Calls().empty());
}

TEST_F(LibraryButtons, SelectCertificateFromWindowsNeedsNoDialog) {
  // Box 1019 starts checked: the library is asked for the personal store.
  UseLibrary(L"full");
  UseScript("ATesselSelectCertificateJson callback Избран: Иван Петров\n");
  dialog_test::PostClick(dialog_, 1009);
  ASSERT_TRUE(dialog_test::WaitFor([&] { return !RecordsNamed(Calls(), "unload").empty(); }));
  const auto calls = RecordsNamed(Calls(), "ATesselSelectCertificateJson");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].Text("json"), L"{\"Store\":\"My\"}");
  EXPECT_EQ(WindowText(Item(1013)), L"Избран: Иван Петров\r\n");
}

TEST_F(LibraryButtons, CertStoreInfoListsTheMicrosoftProvidersButNotTheSmartCardOne) {
  UseLibrary(L"full");
  UseScript("ATesselCertStoreInfo report 0\t\tИван Петров\tAB12\n");
  dialog_test::PostClick(dialog_, 1014);
  ASSERT_TRUE(dialog_test::WaitFor([&] { return !RecordsNamed(Calls(), "unload").empty(); }));
  std::vector<std::wstring> providers;
  for (const auto& call : RecordsNamed(Calls(), "ATesselCertStoreInfo"))
    providers.push_back(call.Text("providerName"));
  ASSERT_FALSE(providers.empty());
  // Each provider's name stands on a line of its own before its reports.
  const std::wstring pane = WindowText(Item(1013));
  size_t at = 0;
  for (const auto& name : providers) {
    EXPECT_NE(name.find(L"Microsoft"), std::wstring::npos) << name;
    EXPECT_EQ(name.find(L"Smart"), std::wstring::npos) << name;
    at = pane.find(name + L"\r\n", at);
    ASSERT_NE(at, std::wstring::npos) << name;
    at = pane.find(L"Иван Петров", at);
    ASSERT_NE(at, std::wstring::npos) << name;
  }
}

}  // namespace
