#include "afx/AfxDialog.h"

#include "afx/AfxDynamicLayout.h"
#include "afx/AfxWinApp.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, &CDialog::OnOK)
ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEW(nIDTemplate)),
      m_nIDHelp(nIDTemplate),
      m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
  if (m_hWnd != nullptr) DestroyWindow();
}

HWND CDialog::SafeOwner() const {
  HWND owner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
  if (owner == nullptr) {
    CWnd* main = AfxGetMainWnd();
    owner = main ? main->GetSafeHwnd() : nullptr;
  }
  if (owner == nullptr || !::IsWindow(owner)) return nullptr;
  // The owner of a modal dialog is always a top-level window.
  return ::GetAncestor(owner, GA_ROOT);
}

INT_PTR CDialog::DoModal() {
  HINSTANCE module = AfxGetResourceHandle();
  HRSRC resource = ::FindResourceW(module, m_lpszTemplateName, RT_DIALOG);
  HGLOBAL loaded = resource ? ::LoadResource(module, resource) : nullptr;
  auto* dialogTemplate = loaded ? static_cast<LPCDLGTEMPLATEW>(::LockResource(loaded)) : nullptr;
  if (dialogTemplate == nullptr) return -1;

  HWND owner = SafeOwner();
  bool enableOwner = false;
  if (owner != nullptr && ::IsWindowEnabled(owner)) {
    ::EnableWindow(owner, FALSE);
    enableOwner = true;
  }

  continueModal_ = true;
  modalResult_ = -1;
  HWND created = ::CreateDialogIndirectParamW(module, dialogTemplate, owner, &CDialog::AfxDlgProc,
                                              reinterpret_cast<LPARAM>(this));
  if (created != nullptr && continueModal_) RunModalLoop();
  continueModal_ = false;

  if (m_hWnd != nullptr) {
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
  }
  if (enableOwner) ::EnableWindow(owner, TRUE);
  if (owner != nullptr && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(owner);
  DestroyWindow();
  CWnd::DeleteTempMap();
  CMenu::DeleteTempMap();
  AfxReleaseThreadState();
  return created != nullptr ? modalResult_ : -1;
}

int CDialog::RunModalLoop() {
  // A template without WS_VISIBLE is shown when the loop first goes idle,
  // once the dialog has been laid out and initialised.
  bool showOnIdle = (GetStyle() & WS_VISIBLE) == 0;
  MSG msg;
  while (continueModal_) {
    if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (showOnIdle) {
        showOnIdle = false;
        ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
        ::UpdateWindow(m_hWnd);
        continue;
      }
      // Idle: the borrowed wrappers of this round are no longer needed.
      CWnd::DeleteTempMap();
      CMenu::DeleteTempMap();
    }
    BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      // WM_QUIT ends the dialog and is passed on to the enclosing loop.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      modalResult_ = -1;
      break;
    }
    if (showOnIdle && (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN)) {
      showOnIdle = false;
      ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
    }
    // The message goes to its window and each of its parents and owners up
    // to the main window, as long as none of them uses it up.
    CWnd* main = AfxGetMainWnd();
    HWND stop = (main && main->GetSafeHwnd()) ? main->GetSafeHwnd() : m_hWnd;
    if (!WalkPreTranslateTree(stop, &msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  return modalResult_;
}

void CDialog::EndDialog(int nResult) {
  modalResult_ = nResult;
  if (continueModal_) {
    continueModal_ = false;
    // Wakes the loop up if it waits in GetMessage.
    if (m_hWnd != nullptr) ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
  }
  if (m_hWnd != nullptr) ::EndDialog(m_hWnd, nResult);
}

INT_PTR CALLBACK CDialog::AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_INITDIALOG) return FALSE;
  auto* dialog = reinterpret_cast<CDialog*>(lParam);
  return dialog != nullptr ? dialog->HandleInitDialog(hWnd) : TRUE;
}

BOOL CDialog::HandleInitDialog(HWND hWnd) {
  // From here on the dialog's messages pass through its message map before
  // they reach the dialog manager.
  if (!SubclassWindow(hWnd)) return TRUE;
  LoadDynamicLayoutResource(m_lpszTemplateName);
  RECT before = {};
  ::GetWindowRect(hWnd, &before);
  BOOL result = OnInitDialog();
  // A dialog that OnInitDialog did not place itself is centred over its
  // owner (or the screen).
  RECT after = {};
  ::GetWindowRect(hWnd, &after);
  if (::IsWindow(hWnd) && ::EqualRect(&before, &after) && !(GetStyle() & WS_CHILD)) {
    CenterWindow();
  }
  return result;
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::OnCmdMsg(UINT nID, int nCode) {
  if (CWnd::OnCmdMsg(nID, nCode)) return TRUE;
  // Commands (not control notifications, not system commands) that the
  // dialog does not handle go on to the application object.
  if (nCode != 0 || nID == 0 || nID >= 0xF000) return FALSE;
  CWinApp* app = AfxGetApp();
  return app != nullptr && app->OnCmdMsg(nID, nCode);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
  if (CWnd::PreTranslateMessage(pMsg)) return TRUE;
  if (m_hWnd == nullptr) return FALSE;
  // A multi-line edit keeps Escape to itself; the dialog's Cancel should
  // still see it, unless Cancel is disabled.
  if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_ESCAPE || pMsg->wParam == VK_CANCEL) &&
      (::GetWindowLongPtrW(pMsg->hwnd, GWL_STYLE) & ES_MULTILINE) &&
      (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd))) {
    wchar_t className[16] = {};
    ::GetClassNameW(pMsg->hwnd, className, 16);
    HWND cancel = ::GetDlgItem(m_hWnd, IDCANCEL);
    if (::lstrcmpiW(className, L"Edit") == 0 && (cancel == nullptr || ::IsWindowEnabled(cancel))) {
      SendMessage(WM_COMMAND, IDCANCEL, 0);
      return TRUE;
    }
  }
  // Keyboard and mouse input go through the dialog manager: Tab, Enter,
  // Escape and mnemonics.
  bool input = (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) ||
               (pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST);
  return input && ::IsDialogMessageW(m_hWnd, pMsg);
}
