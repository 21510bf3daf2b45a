#pragma once
// The controls of the system's open and save dialogs that tests use to
// answer them: the file-name field (0x47C, under Wine a ComboBoxEx32 with an
// Edit inside; edt1 0x480 on some systems) and Open/Save (IDOK).

#include <windows.h>

#include <string>

namespace file_dialog_test {

inline std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// True for a visible open or save dialog.
inline bool IsFileDialog(HWND window) {
  return IsWindowVisible(window) && ClassOf(window) == L"#32770" &&
         (GetDlgItem(window, 0x47C) != nullptr || GetDlgItem(window, 0x480) != nullptr);
}

// The edit field of the file name.
inline HWND FileNameEdit(HWND dialog) {
  HWND field = GetDlgItem(dialog, 0x47C);
  if (field == nullptr) field = GetDlgItem(dialog, 0x480);
  if (ClassOf(field) == L"Edit") return field;
  HWND inner = FindWindowExW(field, nullptr, L"ComboBox", nullptr);
  HWND edit = FindWindowExW(inner != nullptr ? inner : field, nullptr, L"Edit", nullptr);
  return edit != nullptr ? edit : field;
}

inline std::wstring FileNameText(HWND dialog) {
  wchar_t text[2048] = {};
  SendMessageW(FileNameEdit(dialog), WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text));
  return text;
}

// Types `name` into the file-name field and presses Open (or Save).
inline void Choose(HWND dialog, const std::wstring& name) {
  SendMessageW(FileNameEdit(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

inline void Cancel(HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); }

}  // namespace file_dialog_test
