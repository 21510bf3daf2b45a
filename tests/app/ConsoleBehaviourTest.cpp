// What the console does with the user's input: the system menu and its About
// entry, system commands, resizing, Enter and Escape.
#include <gmock/gmock.h>

#include <atomic>
#include <map>
#include <mutex>
#include <vector>

#include "tests/app/ConsoleFixture.h"

using dialog_test::ClientRectOf;
using dialog_test::FindThreadDialog;
using dialog_test::WaitFor;
using dialog_test::WindowText;

namespace {

std::wstring MenuText(HMENU menu, UINT position) {
  wchar_t text[128] = {};
  ::GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
  return text;
}

}  // namespace

TEST_F(ConsoleFixture, SystemMenuEndsWithSeparatorAndAboutEntry) {
  HMENU menu = ::GetSystemMenu(dialog_, FALSE);
  ASSERT_NE(menu, nullptr);
  int count = ::GetMenuItemCount(menu);
  int about = -1;
  for (int i = 0; i < count; ++i) {
    if (::GetMenuItemID(menu, i) == 16) about = i;
  }
  // Wine adds an entry of its own after ours.
  ASSERT_GT(about, 0);
  EXPECT_EQ(MenuText(menu, static_cast<UINT>(about)), L"&About TesselTest...");
  MENUITEMINFOW separator = {};
  separator.cbSize = sizeof(separator);
  separator.fMask = MIIM_FTYPE;
  ASSERT_TRUE(::GetMenuItemInfoW(menu, static_cast<UINT>(about - 1), TRUE, &separator));
  EXPECT_TRUE(separator.fType & MFT_SEPARATOR);
}

TEST_F(ConsoleFixture, SystemCommands16To31OpenTheAboutBox) {
  for (WPARAM command : {16u, 17u, 24u, 31u}) {
    SCOPED_TRACE(command);
    ::PostMessageW(dialog_, WM_SYSCOMMAND, command, 0);
    HWND about = nullptr;
    ASSERT_TRUE(WaitFor([&] {
      about = FindThreadDialog(ui_->Id(), L"About TesselTest");
      return about != nullptr;
    }));
    // Modal: the console is disabled while the box is up, and owns it.
    EXPECT_FALSE(::IsWindowEnabled(dialog_));
    EXPECT_EQ(::GetWindow(about, GW_OWNER), dialog_);
    ::PostMessageW(about, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(about); }));
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowEnabled(dialog_) != FALSE; }));
  }
}

TEST_F(ConsoleFixture, AboutBoxShowsIconNameVersionAndOk) {
  ::PostMessageW(dialog_, WM_SYSCOMMAND, 16, 0);
  HWND about = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    about = FindThreadDialog(ui_->Id(), L"About TesselTest");
    return about != nullptr;
  }));
  RECT client = {};
  ::GetClientRect(about, &client);
  RECT size = dialog_test::DialogUnitsToPixels(about, 0, 0, 170, 62);
  EXPECT_EQ(client.right, size.right);
  EXPECT_EQ(client.bottom, size.bottom);
  EXPECT_TRUE(::GetWindowLongPtrW(about, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);

  std::vector<HWND> children;
  for (HWND child = ::GetWindow(about, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  ASSERT_EQ(children.size(), 3u);
  LONG iconStyle = static_cast<LONG>(::GetWindowLongPtrW(children[0], GWL_STYLE));
  EXPECT_EQ(iconStyle & SS_TYPEMASK, SS_ICON);
  EXPECT_NE(::SendMessageW(children[0], STM_GETICON, 0, 0), 0);
  RECT iconPlace = ClientRectOf(children[0]);
  RECT expectedIcon = dialog_test::DialogUnitsToPixels(about, 14, 14, 0, 0);
  EXPECT_EQ(iconPlace.left, expectedIcon.left);
  EXPECT_EQ(iconPlace.top, expectedIcon.top);

  EXPECT_EQ(WindowText(children[1]), L"TesselTest, Version 1.0");
  EXPECT_TRUE(::GetWindowLongPtrW(children[1], GWL_STYLE) & SS_NOPREFIX);
  RECT textPlace = ClientRectOf(children[1]);
  RECT expectedText = dialog_test::DialogUnitsToPixels(about, 42, 14, 114, 8);
  EXPECT_TRUE(::EqualRect(&textPlace, &expectedText));

  EXPECT_EQ(::GetDlgCtrlID(children[2]), IDOK);
  EXPECT_EQ(WindowText(children[2]), L"OK");
  EXPECT_EQ(::GetWindowLongPtrW(children[2], GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  RECT okPlace = ClientRectOf(children[2]);
  RECT expectedOk = dialog_test::DialogUnitsToPixels(about, 113, 41, 50, 14);
  EXPECT_TRUE(::EqualRect(&okPlace, &expectedOk));

  // Enter closes it through its default button.
  ::PostMessageW(children[2], WM_KEYDOWN, VK_RETURN, 0);
  ASSERT_TRUE(WaitFor([&] { return !::IsWindow(about); }));
}

TEST_F(ConsoleFixture, OtherSystemCommandsGetDefaultProcessing) {
  ::PostMessageW(dialog_, WM_SYSCOMMAND, 32, 0);  // just past the About range
  ::PostMessageW(dialog_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(WaitFor([&] { return ::IsIconic(dialog_) != FALSE; }));
  EXPECT_EQ(FindThreadDialog(ui_->Id(), L"About TesselTest"), nullptr);
  ::PostMessageW(dialog_, WM_SYSCOMMAND, SC_RESTORE, 0);
  ASSERT_TRUE(WaitFor([&] { return !::IsIconic(dialog_); }));
  ::PostMessageW(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(WaitFor([&] { return ui_->Finished(); }));
  EXPECT_EQ(result_, IDCANCEL);
}

TEST_F(ConsoleFixture, MinimisedConsoleAnswersDragIconWithItsIcon) {
  auto big = reinterpret_cast<HICON>(::SendMessageW(dialog_, WM_GETICON, ICON_BIG, 0));
  auto small = reinterpret_cast<HICON>(::SendMessageW(dialog_, WM_GETICON, ICON_SMALL, 0));
  ASSERT_NE(big, nullptr);
  EXPECT_EQ(big, small);
  EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageW(dialog_, WM_QUERYDRAGICON, 0, 0)), big);
}

TEST_F(ConsoleFixture, GrowingTheWindowWidensBothPanesAndHeightensOnlyTheOutput) {
  std::map<int, RECT> before;
  for (HWND child = ::GetWindow(dialog_, GW_CHILD); child;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    before[::GetDlgCtrlID(child)] = ClientRectOf(child);
  }
  RECT window = {};
  ::GetWindowRect(dialog_, &window);
  const int dx = 100;  // the window stays within the 1280-pixel screen
  const int dy = 80;
  ::SetWindowPos(dialog_, nullptr, 0, 0, window.right - window.left + dx,
                 window.bottom - window.top + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  for (auto& [id, rect] : before) {
    SCOPED_TRACE(id);
    RECT now = ClientRectOf(::GetDlgItem(dialog_, id));
    EXPECT_EQ(now.left, rect.left);
    EXPECT_EQ(now.top, rect.top);
    int grownX = id == 1013 || id == 1020 ? dx : 0;
    int grownY = id == 1013 ? dy : 0;
    EXPECT_EQ(now.right, rect.right + grownX);
    EXPECT_EQ(now.bottom, rect.bottom + grownY);
  }

  // Back to the template's size, everything is where it started.
  ::SetWindowPos(dialog_, nullptr, 0, 0, window.right - window.left, window.bottom - window.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (auto& [id, rect] : before) {
    RECT now = ClientRectOf(::GetDlgItem(dialog_, id));
    EXPECT_TRUE(::EqualRect(&now, &rect)) << id;
  }

  // The user cannot make the window smaller than that.
  MINMAXINFO limits = {};
  ::SendMessageW(dialog_, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  EXPECT_EQ(limits.ptMinTrackSize.x, window.right - window.left);
  EXPECT_EQ(limits.ptMinTrackSize.y, window.bottom - window.top);
}

namespace {

// Records the WM_COMMAND messages the dialog receives on its UI thread.
std::atomic<HWND> g_watchedDialog{nullptr};
std::vector<WPARAM> g_commands;
std::mutex g_commandsMutex;

LRESULT CALLBACK RecordCommands(int code, WPARAM wParam, LPARAM lParam) {
  auto* message = reinterpret_cast<CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && message->message == WM_COMMAND && message->hwnd == g_watchedDialog) {
    std::lock_guard<std::mutex> lock(g_commandsMutex);
    g_commands.push_back(message->wParam);
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

class CommandRecorder {
 public:
  CommandRecorder(HWND dialog, DWORD threadId) {
    g_watchedDialog = dialog;
    g_commands.clear();
    hook_ = ::SetWindowsHookExW(WH_CALLWNDPROC, &RecordCommands, nullptr, threadId);
  }
  ~CommandRecorder() {
    if (hook_) ::UnhookWindowsHookEx(hook_);
    g_watchedDialog = nullptr;
  }
  bool Active() const { return hook_ != nullptr; }
  bool Saw(WPARAM command) const {
    std::lock_guard<std::mutex> lock(g_commandsMutex);
    for (WPARAM seen : g_commands) {
      if (seen == command) return true;
    }
    return false;
  }

 private:
  HHOOK hook_ = nullptr;
};

void PressKey(HWND target, WPARAM key) {
  ::PostMessageW(target, WM_KEYDOWN, key, 1);
  ::PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

}  // namespace

TEST_F(ConsoleFixture, EnterInTheJsonPaneActivatesTheDefaultButton) {
  CommandRecorder recorder(dialog_, ui_->Id());
  ASSERT_TRUE(recorder.Active());
  ::PostMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(1020)), TRUE);
  PressKey(Item(1020), VK_RETURN);
  EXPECT_TRUE(WaitFor([&] { return recorder.Saw(MAKEWPARAM(1000, BN_CLICKED)); }));
  // The pane took no line break.
  EXPECT_EQ(WindowText(Item(1020)), L"");
  EXPECT_TRUE(::IsWindow(dialog_));
}

TEST_F(ConsoleFixture, EnterOnAFocusedPushButtonActivatesThatButton) {
  CommandRecorder recorder(dialog_, ui_->Id());
  ASSERT_TRUE(recorder.Active());
  ::PostMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(1005)), TRUE);
  PressKey(Item(1005), VK_RETURN);
  EXPECT_TRUE(WaitFor([&] { return recorder.Saw(MAKEWPARAM(1005, BN_CLICKED)); }));
  EXPECT_FALSE(recorder.Saw(MAKEWPARAM(1000, BN_CLICKED)));
}

TEST_F(ConsoleFixture, EscapeInAPaneClosesTheConsole) {
  ::PostMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(1013)), TRUE);
  PressKey(Item(1013), VK_ESCAPE);
  ASSERT_TRUE(WaitFor([&] { return ui_->Finished(); }));
  EXPECT_EQ(result_, IDCANCEL);
}

TEST_F(ConsoleFixture, OutputPaneKeepsMoreThanTheEditControlsDefaultLimit) {
  std::wstring line(498, L'ж');
  for (int i = 0; i < 70; ++i) console_.load()->AppendOutputLine(line.c_str());
  EXPECT_EQ(WindowText(Item(1013)).size(), 35000u);
  EXPECT_GT(static_cast<ULONG_PTR>(::SendMessageW(Item(1020), EM_GETLIMITTEXT, 0, 0)), 1000000u);
}

TEST_F(ConsoleFixture, LinesGoToTheEndOfTheOutputPaneWhateverIsSelected) {
  console_.load()->AppendOutputLine(L"първи");
  console_.load()->AppendOutputText(L"втори");
  ::SendMessageW(Item(1013), EM_SETSEL, 0, 3);
  console_.load()->AppendOutputLine(nullptr);
  console_.load()->AppendOutputLine(L"трети");
  EXPECT_EQ(WindowText(Item(1013)), L"първи\r\nвтори\r\nтрети\r\n");
}
