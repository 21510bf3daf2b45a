// The console dialog as the user sees it after start: its window, every
// control of its template, the tab order, the check states and the tooltips.
#include <windows.h>

#include <commctrl.h>
#include <gmock/gmock.h>

#include <map>
#include <vector>

#include "tests/app/ConsoleFixture.h"

using dialog_test::ClassName;
using dialog_test::ClientRectOf;
using dialog_test::DialogUnitsToPixels;
using dialog_test::WindowText;

namespace {

enum class Kind { DefaultButton, Button, ThreeState, CheckBox, ReadOnlyEdit, Edit };

struct ExpectedControl {
  int id;
  Kind kind;
  const wchar_t* caption;
  int x, y, cx, cy;
};

// In template (tab) order.
const ExpectedControl kControls[] = {
    {1000, Kind::DefaultButton, L"SignFile JSON", 21, 7, 96, 14},
    {1001, Kind::Button, L"ShowSettingsDialog", 123, 7, 96, 14},
    {1002, Kind::Button, L"DecryptVerifyFile", 431, 31, 96, 14},
    {1003, Kind::Button, L"EncryptFile", 431, 55, 96, 14},
    {1004, Kind::Button, L"SignAndEncryptFile", 431, 79, 96, 14},
    {1005, Kind::Button, L"Verify Win32", 223, 7, 96, 14},
    {1006, Kind::Button, L"ExtractFile", 223, 31, 96, 14},
    {1007, Kind::Button, L"ShowAboutBox", 223, 55, 96, 14},
    {1008, Kind::ThreeState, L"", 7, 10, 8, 10},
    {1009, Kind::Button, L"SelectCertificate", 21, 55, 96, 14},
    {1010, Kind::Button, L"SignInfo", 123, 55, 96, 14},
    {1011, Kind::Button, L"IsP7S", 223, 79, 96, 14},
    {1012, Kind::Button, L"CertInfo", 123, 79, 96, 14},
    {1013, Kind::ReadOnlyEdit, L"", 7, 176, 545, 121},
    {1014, Kind::Button, L"CertStoreInfo CNG", 327, 7, 96, 14},
    {1015, Kind::Button, L"CRL Test", 327, 31, 96, 14},
    {1017, Kind::Button, L"P7M -> P7S", 327, 55, 96, 14},
    {1018, Kind::Button, L"Test", 431, 7, 96, 14},
    {1016, Kind::Button, L"SelectCertificate", 328, 79, 96, 14},
    {1019, Kind::CheckBox, L"", 7, 57, 8, 10},
    {1020, Kind::Edit, L"", 7, 94, 545, 80},
    {1021, Kind::Button, L"SignFileFilter", 21, 30, 96, 14},
    {1022, Kind::ThreeState, L"", 7, 32, 16, 10},
    {1023, Kind::Button, L"Select Certificate Old", 21, 77, 96, 14},
};

std::wstring Describe(const RECT& r) {
  return std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"," + std::to_wstring(r.right) +
         L"," + std::to_wstring(r.bottom);
}

}  // namespace

TEST_F(ConsoleFixture, WindowHasCaptionStylesSizeAndFont) {
  EXPECT_EQ(WindowText(dialog_), L"TesselTest");
  DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(dialog_, GWL_STYLE));
  for (DWORD bit : std::initializer_list<DWORD>{WS_POPUP, WS_VISIBLE, WS_CAPTION, WS_SYSMENU,
                                                WS_THICKFRAME, WS_MINIMIZEBOX, WS_MAXIMIZEBOX}) {
    EXPECT_EQ(style & bit, bit) << std::hex << bit;
  }
  EXPECT_TRUE(::GetWindowLongPtrW(dialog_, GWL_EXSTYLE) & WS_EX_APPWINDOW);

  RECT client = {};
  ::GetClientRect(dialog_, &client);
  RECT expected = DialogUnitsToPixels(dialog_, 0, 0, 559, 304);
  EXPECT_EQ(client.right, expected.right);
  EXPECT_EQ(client.bottom, expected.bottom);

  auto font = reinterpret_cast<HFONT>(::SendMessageW(dialog_, WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  LOGFONTW logFont = {};
  ASSERT_NE(::GetObjectW(font, sizeof(logFont), &logFont), 0);
  EXPECT_STREQ(logFont.lfFaceName, L"Segoe UI");
  HDC screen = ::GetDC(nullptr);
  int pixelsPerInch = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  EXPECT_EQ(logFont.lfHeight, -::MulDiv(10, pixelsPerInch, 72));
}

TEST_F(ConsoleFixture, EveryControlHasItsIdKindCaptionStyleAndPlace) {
  for (const ExpectedControl& expectedControl : kControls) {
    SCOPED_TRACE(expectedControl.id);
    HWND control = Item(expectedControl.id);
    ASSERT_NE(control, nullptr);
    LONG style = static_cast<LONG>(::GetWindowLongPtrW(control, GWL_STYLE));
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_TRUE(style & WS_TABSTOP);
    EXPECT_EQ(WindowText(control), expectedControl.caption);
    bool edit = expectedControl.kind == Kind::Edit || expectedControl.kind == Kind::ReadOnlyEdit;
    EXPECT_EQ(ClassName(control), edit ? L"Edit" : L"Button");
    switch (expectedControl.kind) {
      case Kind::DefaultButton:
        EXPECT_EQ(style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
        break;
      case Kind::Button:
        EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON);
        break;
      case Kind::ThreeState:
        EXPECT_EQ(style & BS_TYPEMASK, BS_AUTO3STATE);
        break;
      case Kind::CheckBox:
        EXPECT_EQ(style & BS_TYPEMASK, BS_AUTOCHECKBOX);
        break;
      case Kind::ReadOnlyEdit:
      case Kind::Edit:
        EXPECT_TRUE(style & ES_MULTILINE);
        EXPECT_EQ((style & ES_READONLY) != 0, expectedControl.kind == Kind::ReadOnlyEdit);
        EXPECT_TRUE(style & WS_VSCROLL);
        EXPECT_TRUE(style & WS_HSCROLL);
        EXPECT_TRUE((style & WS_BORDER) ||
                    (::GetWindowLongPtrW(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
        // Enter belongs to the dialog, and nothing scrolls by itself.
        EXPECT_FALSE(style & ES_WANTRETURN);
        EXPECT_FALSE(style & ES_AUTOVSCROLL);
        EXPECT_FALSE(style & ES_AUTOHSCROLL);
        break;
    }
    RECT actual = ClientRectOf(control);
    RECT expected = DialogUnitsToPixels(dialog_, expectedControl.x, expectedControl.y,
                                        expectedControl.cx, expectedControl.cy);
    EXPECT_EQ(Describe(actual), Describe(expected));
  }
}

TEST_F(ConsoleFixture, TabOrderIsTheTemplateOrder) {
  std::vector<int> expected;
  for (const ExpectedControl& expectedControl : kControls) expected.push_back(expectedControl.id);

  std::vector<int> children;
  for (HWND child = ::GetWindow(dialog_, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(::GetDlgCtrlID(child));
  }
  EXPECT_EQ(children, expected);

  std::vector<int> tabbing;
  HWND first = Item(1000);
  HWND item = first;
  do {
    tabbing.push_back(::GetDlgCtrlID(item));
    item = ::GetNextDlgTabItem(dialog_, item, FALSE);
  } while (item != nullptr && item != first && tabbing.size() < 50);
  EXPECT_EQ(tabbing, expected);
}

TEST_F(ConsoleFixture, CheckBoxesAndPanesAfterInitialisation) {
  EXPECT_EQ(::SendMessageW(Item(1008), BM_GETCHECK, 0, 0), BST_INDETERMINATE);
  EXPECT_EQ(::SendMessageW(Item(1022), BM_GETCHECK, 0, 0), BST_INDETERMINATE);
  EXPECT_EQ(::SendMessageW(Item(1019), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(WindowText(Item(1013)), L"");
  EXPECT_EQ(WindowText(Item(1020)), L"");
  // The first tab stop has the focus.
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(::GetGUIThreadInfo(ui_->Id(), &info));
  EXPECT_EQ(info.hwndFocus, Item(1000));
}

namespace {

struct ToolTipSearch {
  HWND owner;
  HWND found;
};

BOOL CALLBACK FindToolTip(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<ToolTipSearch*>(lParam);
  if (ClassName(window) == TOOLTIPS_CLASSW && ::GetWindow(window, GW_OWNER) == search->owner) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND ToolTipOf(DWORD threadId, HWND owner) {
  ToolTipSearch search{owner, nullptr};
  ::EnumThreadWindows(threadId, &FindToolTip, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

const wchar_t kSignModeTip[] =
    L"При избрано разкачен подпис(p7s). При чисто пакетиран(p7m). В други случай избира "
    L"потребителя.";

}  // namespace

TEST_F(ConsoleFixture, FourToolTipsWithTheirTexts) {
  HWND tip = ToolTipOf(ui_->Id(), dialog_);
  ASSERT_NE(tip, nullptr);
  ASSERT_EQ(::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 4);

  std::map<int, std::wstring> texts;
  for (int i = 0; i < 4; ++i) {
    wchar_t text[512] = {};
    TOOLINFOW info = {};
    info.cbSize = sizeof(info);
    info.lpszText = text;
    ASSERT_TRUE(::SendMessageW(tip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&info)));
    EXPECT_TRUE(info.uFlags & TTF_IDISHWND);
    EXPECT_EQ(info.hwnd, dialog_);
    texts[::GetDlgCtrlID(reinterpret_cast<HWND>(info.uId))] = text;
  }
  EXPECT_EQ(texts[1019], L"При избрано показва от Windows. В противен случай от файл.");
  EXPECT_EQ(texts[1020], L"Входящ JSON текст за SignFile или SelectCertificate.");
  EXPECT_EQ(texts[1008], kSignModeTip);
  EXPECT_EQ(texts[1022], kSignModeTip);
}

TEST_F(ConsoleFixture, ToolTipShowsWhenThePointerRestsOnABox) {
  // The tooltip control learns about the pointer only from the messages the
  // dialog relays to it before dispatching them.
  HWND tip = ToolTipOf(ui_->Id(), dialog_);
  ASSERT_NE(tip, nullptr);
  // Other programs' windows may lie over ours: keep the console on top
  // while the pointer rests on the box.
  ::SetWindowPos(dialog_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  RECT box = {};
  ::GetWindowRect(Item(1019), &box);
  POINT middle = {(box.left + box.right) / 2, (box.top + box.bottom) / 2};
  ASSERT_TRUE(dialog_test::WaitFor([&] { return ::WindowFromPoint(middle) == Item(1019); }));
  int moves = 0;
  ASSERT_TRUE(dialog_test::WaitFor(
      [&] {
        // Tips show for the active window only. Now and then the console
        // is activated and the pointer moves in again, in case another
        // program's window took either away.
        if (moves++ % 100 == 0) {
          ::SetForegroundWindow(dialog_);
          ::SetCursorPos(box.left + 1, box.top + 1);
          ::SetCursorPos(middle.x, middle.y);
        }
        return ::IsWindowVisible(tip) != FALSE;
      },
      std::chrono::milliseconds(8000)));
  wchar_t text[512] = {};
  TOOLINFOW info = {};
  info.cbSize = sizeof(info);
  info.lpszText = text;
  ASSERT_TRUE(::SendMessageW(tip, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&info)));
  EXPECT_EQ(reinterpret_cast<HWND>(info.uId), Item(1019));
  EXPECT_STREQ(text, L"При избрано показва от Windows. В противен случай от файл.");
  ::SetCursorPos(0, 0);
}
