// The framework's modal dialogs, message maps and data exchange, on real
// windows: each dialog runs modally on a UI thread of its own while the test
// drives it through window messages.
#include <gtest/gtest.h>

#include <memory>

#include "tests/afx/ProbeDialog.h"
#include "tests/app/DialogDriver.h"

using dialog_test::FindThreadDialog;
using dialog_test::UiThread;
using dialog_test::WaitFor;
using dialog_test::WindowText;

namespace {

// Runs a ProbeDialog modally; `prepare` runs on the UI thread first.
class ModalProbe {
 public:
  explicit ModalProbe(UINT templateId = IDD_PROBE, const wchar_t* caption = L"Probe",
                      std::function<void(ProbeDialog&)> prepare = nullptr)
      : dialog_(templateId), ui_([this, prepare] {
          if (prepare) prepare(dialog_);
          result_ = dialog_.DoModal();
        }) {
    WaitFor([&] { return (window_ = FindThreadDialog(ui_.Id(), caption)) != nullptr; });
  }
  ~ModalProbe() {
    if (::IsWindow(window_)) ::PostMessageW(window_, WM_COMMAND, IDCANCEL, 0);
    ui_.Join();
  }
  HWND Window() const { return window_; }
  HWND Item(int id) const { return ::GetDlgItem(window_, id); }
  ProbeDialog& Dialog() { return dialog_; }
  INT_PTR Finish() {
    ui_.Join();
    return result_;
  }
  bool Finished() const { return ui_.Finished(); }
  DWORD ThreadId() const { return ui_.Id(); }

 private:
  ProbeDialog dialog_;
  INT_PTR result_ = 0;
  HWND window_ = nullptr;
  UiThread ui_;
};

}  // namespace

TEST(ModalDialog, RunsUntilEndDialogAndReturnsItsValue) {
  ModalProbe probe;
  ASSERT_NE(probe.Window(), nullptr);
  EXPECT_EQ(probe.Dialog().initCalls, 1);
  ::PostMessageW(probe.Window(), WM_COMMAND, IDOK, 0);  // OnOK: exchange, then end with IDOK
  EXPECT_EQ(probe.Finish(), IDOK);
  EXPECT_EQ(probe.Dialog().GetSafeHwnd(), nullptr) << "the window is destroyed and detached";
}

TEST(ModalDialog, MissingTemplateGivesMinusOne) {
  ProbeDialog dialog(IDD_MISSING);
  EXPECT_EQ(dialog.DoModal(), -1);
}

namespace {
struct OwnedProbe : ProbeDialog {
  explicit OwnedProbe(CWnd* parent) : ProbeDialog(IDD_PROBE) { m_pParentWnd = parent; }
};
}  // namespace

TEST(ModalDialog, OwnerIsDisabledWhileTheDialogRunsAndEnabledAfterwards) {
  std::atomic<HWND> owner{nullptr};
  std::atomic<bool> enabledAfterwards{false};
  UiThread ui([&] {
    CWnd ownerWnd;
    ownerWnd.SubclassWindow(::CreateWindowExW(0, L"Static", L"owner", WS_POPUP, 0, 0, 10, 10,
                                              nullptr, nullptr, nullptr, nullptr));
    owner = ownerWnd.GetSafeHwnd();
    OwnedProbe owned(&ownerWnd);
    owned.DoModal();
    enabledAfterwards = ::IsWindowEnabled(ownerWnd.GetSafeHwnd()) != FALSE;
    ownerWnd.DestroyWindow();
  });
  HWND window = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (window = FindThreadDialog(ui.Id(), L"Probe")) != nullptr; }));
  ASSERT_NE(owner.load(), nullptr);
  EXPECT_FALSE(::IsWindowEnabled(owner));
  EXPECT_EQ(::GetWindow(window, GW_OWNER), owner.load());
  ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
  ui.Join();
  EXPECT_TRUE(enabledAfterwards);
}

TEST(ModalDialog, QuitMessageEndsTheLoopAndIsPassedOn) {
  std::atomic<bool> quitSeen{false};
  INT_PTR result = 0;
  ProbeDialog dialog;
  UiThread ui([&] {
    result = dialog.DoModal();
    MSG msg;
    quitSeen = ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
  });
  HWND window = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (window = FindThreadDialog(ui.Id(), L"Probe")) != nullptr; }));
  ::PostThreadMessageW(ui.Id(), WM_QUIT, 3, 0);
  ui.Join();
  EXPECT_EQ(result, -1);
  EXPECT_TRUE(quitSeen);
}

TEST(ModalDialog, HiddenTemplateIsShownWhenTheLoopGoesIdle) {
  ModalProbe probe(IDD_HIDDEN, L"Hidden at first");
  ASSERT_NE(probe.Window(), nullptr);
  EXPECT_TRUE(::IsWindowVisible(probe.Window()));
}

TEST(ModalDialog, EveryMessageForAControlIsOfferedToPreTranslateMessageFirst) {
  ModalProbe probe;
  ASSERT_NE(probe.Window(), nullptr);
  HWND edit = probe.Item(IDC_PROBE_EDIT);
  int before = probe.Dialog().editMessagesSeen;
  ::PostMessageW(edit, WM_CHAR, L'a', 0);
  ASSERT_TRUE(WaitFor([&] { return WindowText(edit) == L"a"; }));
  EXPECT_GT(probe.Dialog().editMessagesSeen, before);

  // A message that PreTranslateMessage uses up is never dispatched.
  probe.Dialog().swallowEditKeys = true;
  ::PostMessageW(edit, WM_CHAR, L'b', 0);
  ::PostMessageW(edit, WM_NULL, 0, 0);
  ::SendMessageW(probe.Window(), WM_NULL, 0, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(WindowText(edit), L"a");
}

TEST(ModalDialog, DialogManagerHandlesEnterAndEscape) {
  ModalProbe probe;
  ASSERT_NE(probe.Window(), nullptr);
  // Enter in the multi-line edit (no ES_WANTRETURN) presses the default button.
  ::PostMessageW(probe.Window(), WM_NEXTDLGCTL,
                 reinterpret_cast<WPARAM>(probe.Item(IDC_PROBE_EDIT)), TRUE);
  ::PostMessageW(probe.Item(IDC_PROBE_EDIT), WM_KEYDOWN, VK_RETURN, 1);
  ASSERT_TRUE(WaitFor([&] { return probe.Dialog().clicks.load() == 1; }));
  // Escape in it cancels the dialog.
  ::PostMessageW(probe.Item(IDC_PROBE_EDIT), WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_EQ(probe.Finish(), IDCANCEL);
}

TEST(MessageMap, ClicksRangesAndUnhandledCommands) {
  ModalProbe probe;
  ASSERT_NE(probe.Window(), nullptr);
  ::SendMessageW(probe.Window(), WM_COMMAND, MAKEWPARAM(IDC_PROBE_BUTTON, BN_CLICKED), 0);
  EXPECT_EQ(probe.Dialog().clicks, 1);
  // Another notification code of the same control is not a click.
  ::SendMessageW(probe.Window(), WM_COMMAND, MAKEWPARAM(IDC_PROBE_BUTTON, BN_SETFOCUS), 0);
  EXPECT_EQ(probe.Dialog().clicks, 1);
  ::SendMessageW(probe.Window(), WM_COMMAND, 0x7003, 0);
  EXPECT_EQ(probe.Dialog().lastRangeId, 0x7003);
  ::SendMessageW(probe.Window(), WM_COMMAND, 0x7010, 0);  // just past the range
  EXPECT_EQ(probe.Dialog().lastRangeId, 0x7003);
}

TEST(MessageMap, CommandsTheDialogLacksGoToTheApplication) {
  ModalProbe probe;
  ASSERT_NE(probe.Window(), nullptr);
  int help = probeApp.helpCommands;
  int app = probeApp.appCommands;
  ::SendMessageW(probe.Window(), WM_COMMAND, 0x8001, 0);
  EXPECT_EQ(probeApp.appCommands, app + 1);
  // F1 becomes the Help command, which only the application handles.
  HELPINFO info = {};
  info.cbSize = sizeof(info);
  ::SendMessageW(probe.Item(IDC_PROBE_EDIT), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(probeApp.helpCommands, help + 1);
  // Control notifications are not commands of the application.
  ::SendMessageW(probe.Window(), WM_COMMAND, MAKEWPARAM(0x8001, EN_CHANGE), 0);
  EXPECT_EQ(probeApp.appCommands, app + 1);
}

TEST(DataExchange, CheckStatesGoBothWaysAndControlsAreAttachedOnce) {
  ModalProbe probe;
  ASSERT_NE(probe.Window(), nullptr);
  HWND check = probe.Item(IDC_PROBE_CHECK);
  // OnInitDialog wrote the member (2) to the box.
  EXPECT_EQ(::SendMessageW(check, BM_GETCHECK, 0, 0), BST_INDETERMINATE);
  EXPECT_EQ(probe.Dialog().edit.GetSafeHwnd(), probe.Item(IDC_PROBE_EDIT));

  ::SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);
  ::PostMessageW(probe.Window(), WM_COMMAND, IDOK, 0);  // OnOK reads the controls
  EXPECT_EQ(probe.Finish(), IDOK);
  EXPECT_EQ(probe.Dialog().checkValue, BST_CHECKED);
}

TEST(DataExchange, ValueOutOfRangeIsWrittenAsClear) {
  ModalProbe probe(IDD_PROBE, L"Probe", [](ProbeDialog& d) { d.checkValue = 7; });
  ASSERT_NE(probe.Window(), nullptr);
  EXPECT_EQ(::SendMessageW(probe.Item(IDC_PROBE_CHECK), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST(DataExchange, MissingControlFailsTheExchangeAndKeepsTheDialogOpen) {
  ModalProbe probe(IDD_PROBE, L"Probe", [](ProbeDialog& d) { d.exchangeMissingControl = true; });
  ASSERT_NE(probe.Window(), nullptr);
  ::SendMessageW(probe.Window(), WM_COMMAND, IDOK, 0);  // OnOK stops at the failed exchange
  EXPECT_TRUE(::IsWindow(probe.Window()));
  EXPECT_FALSE(probe.Finished());
}
