#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <thread>

#include "console/CommonFileDialog.h"
#include "tests/testing/FileDialogControls.h"

namespace {

namespace fs = std::filesystem;
using file_dialog_test::Choose;
using file_dialog_test::FileNameText;

// Drives the one file dialog the test opens from a second thread: waits for
// it, hands it to `action` and records what the action saw.
class DialogDriver {
 public:
  explicit DialogDriver(std::function<void(HWND)> action)
      : action_(std::move(action)), thread_([this] { Drive(); }) {}
  ~DialogDriver() {
    stop_ = true;
    thread_.join();
  }
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;

  bool found() const { return found_; }

  // EnumWindows callback: the first visible dialog window of this process.
  static BOOL CALLBACK FindDialog(HWND window, LPARAM context) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
        std::wstring(className) == L"#32770") {
      *reinterpret_cast<HWND*>(context) = window;
      return FALSE;
    }
    return TRUE;
  }

 private:
  void Drive() {
    for (int i = 0; i < 500 && !stop_; ++i) {
      HWND dialog = nullptr;
      EnumWindows(&DialogDriver::FindDialog, reinterpret_cast<LPARAM>(&dialog));
      if (dialog != nullptr) {
        Sleep(100);  // let the dialog finish its initialisation
        found_ = true;
        action_(dialog);
        return;
      }
      Sleep(20);
    }
  }

  std::function<void(HWND)> action_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> found_{false};
  std::thread thread_;
};

std::wstring TextOf(HWND window) {
  wchar_t text[1024] = {};
  SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
  return text;
}

class TempDir {
 public:
  TempDir() {
    wchar_t base[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, base);
    path_ = fs::path(base) / (L"tessel-filedlg-" + std::to_wstring(GetCurrentProcessId()));
    fs::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

TEST(CommonFileDialog, CancelGivesNothing) {
  FileDialogRequest request;
  request.title = L"Cancel me";
  std::wstring title;
  DialogDriver driver([&](HWND dialog) {
    title = TextOf(dialog);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(ShowCommonFileDialog(request), std::nullopt);
  EXPECT_TRUE(driver.found());
  EXPECT_EQ(title, L"Cancel me");
}

TEST(CommonFileDialog, OpenShowsFilterAndInitialNameAndReturnsTheChoice) {
  TempDir dir;
  const fs::path file = dir.path() / L"подпис.p7s";
  CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));

  FileDialogRequest request;
  request.filter = {{L"Signed Files", L"*.p7m;*.p7s"}, {L"All files", L"*.*"}};
  request.filterIndex = 1;
  request.initialName = L"начало.p7m";
  std::wstring filterShown;
  std::wstring initialShown;
  DialogDriver driver([&](HWND dialog) {
    wchar_t entry[256] = {};
    SendMessageW(GetDlgItem(dialog, 0x470), CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(entry));
    filterShown = entry;
    initialShown = FileNameText(dialog);
    Choose(dialog, file.wstring());
  });
  const std::optional<std::wstring> chosen = ShowCommonFileDialog(request);
  EXPECT_TRUE(driver.found());
  EXPECT_EQ(chosen, std::optional<std::wstring>(file.wstring()));
  EXPECT_EQ(filterShown.rfind(L"Signed Files", 0), 0u) << filterShown;
  EXPECT_EQ(initialShown, L"начало.p7m");
}

TEST(CommonFileDialog, SaveAddsTheDefaultExtension) {
  TempDir dir;
  FileDialogRequest request;
  request.kind = FileDialogRequest::Kind::Save;
  request.filter = {{L"Detached sign", L"*.p7s"}};
  request.filterIndex = 1;
  request.defaultExtension = L"p7s";
  request.pathRoom = 1048;
  request.maxFile = 1047;
  DialogDriver driver([&](HWND dialog) { Choose(dialog, (dir.path() / L"target").wstring()); });
  const std::optional<std::wstring> chosen = ShowCommonFileDialog(request);
  EXPECT_TRUE(driver.found());
  EXPECT_EQ(chosen, std::optional<std::wstring>((dir.path() / L"target.p7s").wstring()));
}

TEST(CommonFileDialog, ChoiceLongerThanMaxFileIsNotReturned) {
  TempDir dir;
  const fs::path file = dir.path() / L"a-rather-long-file-name-for-a-small-buffer.txt";
  CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  FileDialogRequest request;
  request.pathRoom = 1040;
  request.maxFile = 20;
  DialogDriver driver([&](HWND dialog) {
    Choose(dialog, file.wstring());
    // Should the dialog stay open (some versions say so in a box), cancel
    // whatever dialog of this process is still there.
    Sleep(500);
    HWND still = nullptr;
    EnumWindows(&DialogDriver::FindDialog, reinterpret_cast<LPARAM>(&still));
    if (still != nullptr) PostMessageW(still, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(ShowCommonFileDialog(request), std::nullopt);
}

}  // namespace
