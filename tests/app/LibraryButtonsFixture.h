// The real console with one build of the substitute Tessel.dll (or none)
// within reach of its bare-name load, and the substitute's call log.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cwchar>
#include <string>
#include <vector>

#include "testing/CallLogReader.h"
#include "tests/app/ConsoleFixture.h"
#include "tests/testing/FileDialogControls.h"

// What the console shows for a failed load or look-up: the system's text
// for the code when it has one, then the code in hexadecimal.
inline std::wstring ExpectedErrorText(DWORD code) {
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

inline std::wstring TempPath(const wchar_t* name) {
  wchar_t folder[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + name + std::to_wstring(::GetCurrentProcessId());
}

// Makes the console's bare-name load of Tessel.dll find the build in
// `folder` (a folder beside this program, or none), and records the
// substitute's calls in a log of its own.
class LibraryButtons : public ConsoleFixture {
 protected:
  using MessageBoxWatcher = dialog_test::MessageBoxWatcher;

  void UseLibrary(const wchar_t* folder) {
    std::wstring path = dialog_test::ProgramFolder() + L"substitutes\\" + folder;
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
    ::SetEnvironmentVariableW(L"TESSEL_SUBSTITUTE_SCRIPT", nullptr);
    ::DeleteFileW(log_.c_str());
    if (!script_.empty()) ::DeleteFileW(script_.c_str());
  }
  // Makes the substitute follow `script` (UTF-8, the substitute's format).
  void UseScript(const std::string& script) {
    script_ = TempPath(L"tessel-dialog-script-");
    HANDLE file = ::CreateFileW(script_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(file, script.data(), static_cast<DWORD>(script.size()), &written, nullptr);
    ::CloseHandle(file);
    ::SetEnvironmentVariableW(L"TESSEL_SUBSTITUTE_SCRIPT", script_.c_str());
  }
  std::vector<tessel_substitute::CallRecord> Calls() const {
    return tessel_substitute::ReadCallLog(log_);
  }
  // Waits until the command's handler has returned and freed the library.
  bool LibraryReleased() {
    return dialog_test::WaitFor([] { return ::GetModuleHandleW(L"Tessel.dll") == nullptr; }) &&
           dialog_test::WaitFor([this] { return ::IsWindowEnabled(dialog_) != FALSE; });
  }

  // Clicks button `id`, waits until `boxes` has seen `expectedBoxes` message
  // boxes in all, then until the command has freed the library.
  ::testing::AssertionResult ClickAndAwaitRelease(MessageBoxWatcher& boxes, int id,
                                                  size_t expectedBoxes) {
    dialog_test::PostClick(dialog_, id);
    if (!boxes.WaitForCount(expectedBoxes))
      return ::testing::AssertionFailure() << "no message box " << expectedBoxes;
    if (!LibraryReleased()) return ::testing::AssertionFailure() << "library still loaded";
    return ::testing::AssertionSuccess();
  }

  // Clicks button `id` and answers each file dialog the command opens with
  // `file`, until the library has been unloaded; returns the exports called,
  // each once, in order.
  std::vector<std::string> ClickAndAnswerDialogs(int id, const std::wstring& file) {
    const size_t before = Calls().size();
    dialog_test::PostClick(dialog_, id);
    std::vector<HWND> answered;
    const bool ended = dialog_test::WaitFor([&] {
      HWND open = dialog_test::WaitForFileDialog(std::chrono::milliseconds(30));
      if (open != nullptr && std::find(answered.begin(), answered.end(), open) == answered.end()) {
        answered.push_back(open);
        file_dialog_test::Choose(open, file);
      }
      const auto calls = Calls();
      return calls.size() > before && calls.back().name == "unload";
    });
    std::vector<std::string> exports;
    const auto calls = Calls();
    for (size_t i = before; ended && i < calls.size(); ++i) {
      const std::string& name = calls[i].name;
      // Callbacks and boxes of an export are logged as "export:what".
      if (name != "load" && name != "unload" && name != "ATesselInit" &&
          name.find(':') == std::string::npos &&
          std::find(exports.begin(), exports.end(), name) == exports.end()) {
        exports.push_back(name);
      }
    }
    return exports;
  }

  // Clicks "SignFile JSON" with the build in `folder` (or none) within reach
  // and expects the load to fail with `code`: one box of the console with
  // the framework's caption and the error text, and no call of the library.
  void ExpectLoadFailure(const wchar_t* folder, DWORD code) {
    UseLibrary(folder);
    MessageBoxWatcher boxes;
    ASSERT_TRUE(ClickAndAwaitRelease(boxes, 1001, 1));
    auto seen = boxes.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].owner, dialog_);
    EXPECT_EQ(seen[0].caption, L"TesselTest");
    EXPECT_EQ(seen[0].text, ExpectedErrorText(code));
    EXPECT_TRUE(tessel_substitute::ReadCallLog(log_).empty());
  }

  std::wstring log_;
  std::wstring script_;
};
