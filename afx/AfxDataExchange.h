// Data exchange between a window's controls and its members. DoDataExchange
// lists the exchanges; UpdateData runs them in one direction.
#pragma once

#include <windows.h>

class CWnd;

class CDataExchange {
 public:
  // Thrown by a failed exchange; UpdateData catches it and returns FALSE.
  struct Failure {};

  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
      : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

  // The control with that id; a missing control fails the exchange.
  HWND PrepareCtrl(int nIDC);
  [[noreturn]] void Fail() { throw Failure(); }

  BOOL m_bSaveAndValidate;  // TRUE: controls to members, FALSE: members to controls
  CWnd* m_pDlgWnd;
};

// The check state of a check box (0 clear, 1 checked, 2 indeterminate). A
// value outside that range is written to the control as clear.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// Attaches rControl to the control with that id, the first time only.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
