// The framework's smaller pieces: message boxes and their default caption,
// string resources, the layout resource, the managers.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/afx/ProbeDialog.h"
#include "tests/app/DialogDriver.h"

using dialog_test::MessageBoxWatcher;
using dialog_test::WaitFor;

TEST(MessageBoxes, DefaultCaptionIsTheApplicationTitle) {
  EXPECT_STREQ(AfxGetAppName(), L"AfxProbe");
  MessageBoxWatcher boxes;
  EXPECT_EQ(AfxMessageBox(L"първо"), IDOK);
  CWnd none;
  EXPECT_EQ(none.MessageBox(L"второ"), IDOK);
  EXPECT_EQ(none.MessageBox(nullptr, L"Свой"), IDOK);
  ASSERT_TRUE(boxes.WaitForCount(3));
  auto seen = boxes.Seen();
  EXPECT_EQ(seen[0].caption, L"AfxProbe");
  EXPECT_EQ(seen[0].text, L"първо");
  EXPECT_EQ(seen[1].caption, L"AfxProbe");
  EXPECT_EQ(seen[1].text, L"второ");
  EXPECT_EQ(seen[2].caption, L"Свой");
  EXPECT_EQ(seen[2].text, L"");
}

TEST(MessageBoxes, FrameworkBoxBelongsToTheMainWindow) {
  HWND main = ::CreateWindowExW(0, L"Static", L"main", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                nullptr, nullptr, nullptr);
  CWnd mainWnd;
  ASSERT_TRUE(mainWnd.SubclassWindow(main));
  probeApp.m_pMainWnd = &mainWnd;
  MessageBoxWatcher boxes;
  AfxMessageBox(L"owned");
  ASSERT_TRUE(boxes.WaitForCount(1));
  EXPECT_EQ(boxes.Seen()[0].owner, main);
  mainWnd.DestroyWindow();
  probeApp.m_pMainWnd = nullptr;
}

TEST(Strings, LoadStringReadsTheResourceOrGivesEmpty) {
  CString text;
  EXPECT_TRUE(text.LoadString(IDS_PROBE));
  EXPECT_EQ(text.str(), L"Проба");
  EXPECT_FALSE(text.LoadString(IDS_MISSING));
  EXPECT_TRUE(text.IsEmpty());
}

TEST(DynamicLayout, ControlsMoveAndGrowByTheirSharesAndNeverBelowTheStart) {
  ProbeDialog dialog;
  HWND window = nullptr;
  dialog_test::UiThread ui([&] { dialog.DoModal(); });
  ASSERT_TRUE(WaitFor(
      [&] { return (window = dialog_test::FindThreadDialog(ui.Id(), L"Probe")) != nullptr; }));
  auto place = [&](int id) { return dialog_test::ClientRectOf(::GetDlgItem(window, id)); };
  RECT button = place(IDC_PROBE_BUTTON);
  RECT check = place(IDC_PROBE_CHECK);
  RECT edit = place(IDC_PROBE_EDIT);
  RECT half = place(IDC_PROBE_HALF);
  RECT frame = {};
  ::GetWindowRect(window, &frame);
  const int w = frame.right - frame.left;
  const int h = frame.bottom - frame.top;

  ::SetWindowPos(window, nullptr, 0, 0, w + 60, h + 40, SWP_NOMOVE | SWP_NOZORDER);
  RECT now = place(IDC_PROBE_BUTTON);
  EXPECT_TRUE(::EqualRect(&now, &button));
  now = place(IDC_PROBE_CHECK);
  EXPECT_EQ(now.left, check.left + 60);
  EXPECT_EQ(now.right - now.left, check.right - check.left);
  now = place(IDC_PROBE_EDIT);
  EXPECT_EQ(now.right, edit.right + 60);
  EXPECT_EQ(now.bottom, edit.bottom + 40);
  now = place(IDC_PROBE_HALF);
  EXPECT_EQ(now.left, half.left + 30);
  EXPECT_EQ(now.top, half.top + 20);
  EXPECT_EQ(now.right, half.right + 60);
  EXPECT_EQ(now.bottom, half.bottom + 40);

  // Smaller than at the start: everything stays at its starting place.
  ::SetWindowPos(window, nullptr, 0, 0, w - 30, h - 20, SWP_NOMOVE | SWP_NOZORDER);
  now = place(IDC_PROBE_EDIT);
  EXPECT_TRUE(::EqualRect(&now, &edit));
  now = place(IDC_PROBE_CHECK);
  EXPECT_TRUE(::EqualRect(&now, &check));
  ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
}

TEST(DynamicLayout, UnknownLayoutVersionIsIgnored) {
  ProbeDialog dialog(IDD_BAD_LAYOUT);
  HWND window = nullptr;
  dialog_test::UiThread ui([&] { dialog.DoModal(); });
  ASSERT_TRUE(WaitFor(
      [&] { return (window = dialog_test::FindThreadDialog(ui.Id(), L"Bad layout")) != nullptr; }));
  RECT edit = dialog_test::ClientRectOf(::GetDlgItem(window, IDC_PROBE_EDIT));
  RECT frame = {};
  ::GetWindowRect(window, &frame);
  ::SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left + 50,
                 frame.bottom - frame.top + 50, SWP_NOMOVE | SWP_NOZORDER);
  RECT now = dialog_test::ClientRectOf(::GetDlgItem(window, IDC_PROBE_EDIT));
  EXPECT_TRUE(::EqualRect(&now, &edit));
  ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
}

TEST(Managers, DefaultVisualManagerIsReplacedOnlyByAVisualManager) {
  CMFCVisualManager::SetDefaultManager(RUNTIME_CLASS(CMFCVisualManagerWindows));
  CMFCVisualManager* windows = CMFCVisualManager::GetInstance();
  EXPECT_STREQ(windows->GetName(), "CMFCVisualManagerWindows");
  // A class that makes no visual manager leaves the default as it is.
  static const CRuntimeClass notAManager = {"CObject", [] { return new CObject(); }};
  CMFCVisualManager::SetDefaultManager(&notAManager);
  EXPECT_EQ(CMFCVisualManager::GetInstance(), windows);
  CMFCVisualManager::SetDefaultManager(RUNTIME_CLASS(CMFCVisualManager));
  EXPECT_STREQ(CMFCVisualManager::GetInstance()->GetName(), "CMFCVisualManager");
  CMFCVisualManager::DestroyInstance();
}

TEST(Managers, ShellManagerHoldsTheAllocatorAndTranslatesPaths) {
  {
    CShellManager shell;
    EXPECT_EQ(afxShellManager, &shell);
    ASSERT_TRUE(shell.HasAllocator());
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    LPITEMIDLIST item = nullptr;
    EXPECT_EQ(shell.ItemFromPath(system, item), S_OK);
    EXPECT_NE(item, nullptr);
    shell.FreeItem(item);
    EXPECT_NE(shell.ItemFromPath(L"Q:\\no\\such\\folder", item), S_OK);
    EXPECT_EQ(item, nullptr);
  }
  EXPECT_EQ(afxShellManager, nullptr);
}

TEST(Placement, DialogIsCentredOnTheScreenWhenItHasNoOwner) {
  ProbeDialog dialog;
  HWND window = nullptr;
  dialog_test::UiThread ui([&] { dialog.DoModal(); });
  ASSERT_TRUE(WaitFor(
      [&] { return (window = dialog_test::FindThreadDialog(ui.Id(), L"Probe")) != nullptr; }));
  RECT rect = {};
  ::GetWindowRect(window, &rect);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& area = monitor.rcWork;
  EXPECT_LE(std::abs((rect.left + rect.right) / 2 - (area.left + area.right) / 2), 1);
  EXPECT_LE(std::abs((rect.top + rect.bottom) / 2 - (area.top + area.bottom) / 2), 1);
  ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
}
