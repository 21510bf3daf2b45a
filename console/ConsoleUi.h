#pragma once
// The console's user interface as the command bodies see it. The console
// dialog implements it; tests implement it with scripted answers. Command
// bodies reach the user only through this interface, never through a window
// class of the application.
//
// The dialog class derives from ConsoleUi first, so the dialog object's
// address is also the address of its ConsoleUi part: the address that travels
// through the library as `userValue` (see UserValueOf and ConsoleUiFromUserValue
// in LibraryCall.h).

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

// One request for the system's common open or save dialog. The defaults are
// the console's usual dialog: open, no owner, no filter, no default extension,
// no initial directory, no title, no flags, a zero-filled path buffer of 1040
// wide characters with nMaxFile 1040.
struct FileDialogRequest {
  enum class Kind { Open, Save };

  Kind kind = Kind::Open;
  // lpstrFilter as pairs of description and pattern, in order; empty means
  // no filter (lpstrFilter null).
  std::vector<std::pair<std::wstring, std::wstring>> filter;
  // nFilterIndex.
  DWORD filterIndex = 0;
  // lpstrDefExt: nullopt gives a null pointer, an empty text gives "".
  std::optional<std::wstring> defaultExtension;
  // Text written into the zero-filled path buffer before the dialog opens
  // (the proposed name of a save dialog); empty for none.
  std::wstring initialName;
  // lpstrInitialDir: nullopt gives a null pointer.
  std::optional<std::wstring> initialDirectory;
  // lpstrTitle: nullopt gives a null pointer.
  std::optional<std::wstring> title;
  // Flags (OFN_...).
  DWORD flags = 0;
  // hwndOwner.
  HWND owner = nullptr;
  // Size of the path buffer in wide characters, terminator included, and
  // the nMaxFile given to the dialog (which may be smaller than the room).
  size_t pathRoom = 1040;
  DWORD maxFile = 1040;
};

class ConsoleUi {
 public:
  // Window handle of the console dialog: the owner of its message boxes and
  // the window handed to the library's initialisation.
  virtual HWND OwnerWindow() = 0;

  // Shows a modal message box owned by `owner` (may be null) and returns its
  // result (IDOK, ...). A null `caption` gives the application's default
  // caption, the application title.
  virtual int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption,
                             UINT type) = 0;

  // Appends text to the end of the output pane, whatever is selected there
  // (AppendText), or the text followed by CR LF (AppendLine). A null text
  // counts as empty text.
  virtual void AppendOutputText(const wchar_t* text) = 0;
  virtual void AppendOutputLine(const wchar_t* text) = 0;

  // The output pane's display-direction data exchange (UpdateData(FALSE)
  // called on the pane); returns its result, non-zero on success.
  virtual BOOL RefreshOutputPane() = 0;

  // Shows the file dialog of `request`; returns the chosen path (the path
  // buffer's text up to its terminator) or nullopt when the user cancels.
  virtual std::optional<std::wstring> AskForFile(const FileDialogRequest& request) = 0;

  // Dialog-wide data exchange from the controls into the dialog's members
  // (UpdateData(TRUE)); returns its result.
  virtual BOOL UpdateDataFromControls() = 0;
  // Check state of the sign-file-mode box (0 clear, 1 checked, 2
  // indeterminate) and of the certificate-from-Windows box, as the last data
  // exchange from the controls left them.
  virtual int SignFileModeCheck() = 0;
  virtual int CertFromWindowsCheck() = 0;
  // Check state of the filter-mode box, read directly from the control.
  virtual int FilterModeCheckState() = 0;

  // The whole text of the JSON input pane.
  virtual std::wstring JsonInputText() = 0;

 protected:
  ~ConsoleUi() = default;
};

// The application's message box: owned by the console's window, the default
// caption, OK and the warning icon the framework gives a box without an icon
// of its own.
inline int ShowApplicationMessageBox(ConsoleUi& ui, const wchar_t* text) {
  return ui.ShowMessageBox(ui.OwnerWindow(), text, nullptr, MB_OK | MB_ICONEXCLAMATION);
}
