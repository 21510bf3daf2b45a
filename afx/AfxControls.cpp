#include "afx/AfxControls.h"

#include "afx/AfxWinApp.h"

void CEdit::SetSel(int nStartChar, int nEndChar, BOOL bNoScroll) {
  SendMessage(EM_SETSEL, static_cast<WPARAM>(nStartChar), nEndChar);
  if (!bNoScroll) SendMessage(EM_SCROLLCARET, 0, 0);
}

void CEdit::GetSel(int& nStartChar, int& nEndChar) const {
  DWORD start = 0;
  DWORD end = 0;
  SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  nStartChar = static_cast<int>(start);
  nEndChar = static_cast<int>(end);
}

void CEdit::ReplaceSel(LPCWSTR lpszNewText, BOOL bCanUndo) {
  SendMessage(EM_REPLACESEL, bCanUndo, reinterpret_cast<LPARAM>(lpszNewText ? lpszNewText : L""));
}

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle) {
  HWND parent = pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr;
  HWND tip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr,
                               AfxGetInstanceHandle(), nullptr);
  if (tip == nullptr) return FALSE;
  if (!SubclassWindow(tip)) {
    ::DestroyWindow(tip);
    return FALSE;
  }
  return TRUE;
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCWSTR lpszText) {
  HWND tool = pWnd ? pWnd->GetSafeHwnd() : nullptr;
  if (m_hWnd == nullptr || tool == nullptr) return FALSE;
  TOOLINFOW info = {};
  info.cbSize = sizeof(info);
  info.uFlags = TTF_IDISHWND;
  info.hwnd = ::GetParent(tool);
  info.uId = reinterpret_cast<UINT_PTR>(tool);
  info.lpszText = const_cast<LPWSTR>(lpszText ? lpszText : L"");
  return SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) ? TRUE : FALSE;
}

void CToolTipCtrl::RelayEvent(LPMSG lpMsg) {
  if (m_hWnd != nullptr && lpMsg != nullptr) {
    SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(lpMsg));
  }
}
