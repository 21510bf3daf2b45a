#pragma once
// A console user interface for tests: records everything a command shows and
// answers from values the test sets beforehand.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "console/ConsoleUi.h"

class ScriptedUi : public ConsoleUi {
 public:
  struct MessageBoxShown {
    HWND owner;
    std::wstring text;
    std::optional<std::wstring> caption;  // nullopt: the default caption
    UINT type;
  };

  // Answers.
  HWND window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x00A1B2C4));
  int messageBoxResult = IDOK;
  BOOL refreshResult = TRUE;
  std::deque<std::optional<std::wstring>> fileAnswers;  // nullopt: cancel
  int signFileModeCheck = BST_INDETERMINATE;
  int certFromWindowsCheck = BST_CHECKED;
  int filterModeCheckState = BST_INDETERMINATE;
  std::wstring jsonInput;

  // Records.
  std::vector<MessageBoxShown> messageBoxes;
  std::wstring output;
  int refreshes = 0;
  int dataExchanges = 0;
  std::vector<FileDialogRequest> fileRequests;

  HWND OwnerWindow() override { return window; }
  int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) override {
    messageBoxes.push_back(
        {owner, text != nullptr ? text : L"(null)",
         caption != nullptr ? std::optional<std::wstring>(caption) : std::nullopt, type});
    return messageBoxResult;
  }
  void AppendOutputText(const wchar_t* text) override { output += text != nullptr ? text : L""; }
  void AppendOutputLine(const wchar_t* text) override {
    AppendOutputText(text);
    output += L"\r\n";
  }
  BOOL RefreshOutputPane() override {
    ++refreshes;
    return refreshResult;
  }
  std::optional<std::wstring> AskForFile(const FileDialogRequest& request) override {
    fileRequests.push_back(request);
    if (fileAnswers.empty()) return std::nullopt;
    std::optional<std::wstring> answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
  }
  BOOL UpdateDataFromControls() override {
    ++dataExchanges;
    return TRUE;
  }
  int SignFileModeCheck() override { return signFileModeCheck; }
  int CertFromWindowsCheck() override { return certFromWindowsCheck; }
  int FilterModeCheckState() override { return filterModeCheckState; }
  std::wstring JsonInputText() override { return jsonInput; }
};
