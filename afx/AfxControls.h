// The standard controls the console uses, as thin wrappers over their
// window messages.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "afx/AfxWnd.h"

class CEdit : public CWnd {
 public:
  // Selects characters nStartChar..nEndChar; the caret is scrolled into
  // view unless bNoScroll.
  void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE);
  void GetSel(int& nStartChar, int& nEndChar) const;
  // Replaces the selection; bCanUndo says whether the change can be undone.
  void ReplaceSel(LPCWSTR lpszNewText, BOOL bCanUndo = FALSE);
  void SetLimitText(UINT nMax) { SendMessage(EM_SETLIMITTEXT, nMax, 0); }
  UINT GetLimitText() const { return static_cast<UINT>(SendMessage(EM_GETLIMITTEXT, 0, 0)); }
};

class CButton : public CWnd {
 public:
  int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK, 0, 0)); }
  void SetCheck(int nCheck) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck), 0); }
  UINT GetButtonStyle() const { return GetStyle() & 0xFFFF; }
};

class CToolTipCtrl : public CWnd {
 public:
  // Creates the tooltip window, owned by pParentWnd's window.
  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
  // Shows lpszText for the whole of pWnd's window; false when pWnd has no
  // window or the tooltip control refused the tool.
  BOOL AddTool(CWnd* pWnd, LPCWSTR lpszText);
  void Activate(BOOL bActivate) { SendMessage(TTM_ACTIVATE, bActivate, 0); }
  // Passes a message to the tooltip control, which watches the mouse
  // messages of its tools to know when to show a tip.
  void RelayEvent(LPMSG lpMsg);
  int GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT, 0, 0)); }
  int SetMaxTipWidth(int iWidth) {
    return static_cast<int>(SendMessage(TTM_SETMAXTIPWIDTH, 0, iWidth));
  }
};
