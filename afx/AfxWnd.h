// CWnd: a C++ object attached to a window handle. Attached windows are
// subclassed: their messages pass through the object's message map first and
// reach the window's original procedure only when no entry handles them (or
// when a handler asks for default processing with Default()).
#pragma once

#include <windows.h>

#include <memory>

#include "afx/AfxCmdTarget.h"
#include "afx/AfxGeometry.h"

class CDataExchange;
class CMFCDynamicLayout;

class CMenu {
 public:
  CMenu() = default;
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;
  ~CMenu() = default;  // a menu wrapper borrows the handle; the window owns the menu

  // A wrapper for a menu handle, kept until the thread's temporary objects
  // are cleared (at the next idle time of the modal loop).
  static CMenu* FromHandle(HMENU hMenu);
  static void DeleteTempMap();

  BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCWSTR lpszNewItem = nullptr) {
    return ::AppendMenuW(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
  }
  HMENU GetSafeHmenu() const { return m_hMenu; }

  HMENU m_hMenu = nullptr;
};

// Frees the calling thread's window maps once it has no attached windows
// left and no message of ours is being handled; they are made afresh on use.
void AfxReleaseThreadState();

class CWnd : public CCmdTarget {
 public:
  CWnd() = default;
  ~CWnd() override;

  HWND m_hWnd = nullptr;

  operator HWND() const { return m_hWnd; }  // NOLINT: as the framework does
  HWND GetSafeHwnd() const { return m_hWnd; }

  // The permanent object attached to hWnd, or null.
  static CWnd* FromHandlePermanent(HWND hWnd);
  // The attached object, or a temporary one (valid until the next idle time
  // of the modal loop); null for a null handle.
  static CWnd* FromHandle(HWND hWnd);
  static void DeleteTempMap();

  // Attaches the object to an existing window and routes its messages
  // through the message map. False when the object is already attached or
  // the window is already attached to another object.
  BOOL SubclassWindow(HWND hWnd);
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
  // Gives the window its original procedure back and detaches it.
  HWND UnsubclassWindow();

  BOOL DestroyWindow();

  // Centres the window over its owner (or pAlternateOwner) when that is
  // visible and not minimised, otherwise over the work area of its monitor;
  // the window is kept inside the work area.
  void CenterWindow(CWnd* pAlternateOwner = nullptr);

  // Offers a message to this window before it is dispatched; true when the
  // window used it up. The modal loop walks from the message's window up
  // through its parents.
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);

  // Data exchange between controls and members: bSaveAndValidate TRUE reads
  // the controls into the members, FALSE writes the members to the controls.
  // False when an exchange failed (for example a control that is missing).
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

  int MessageBox(LPCWSTR lpszText, LPCWSTR lpszCaption = nullptr, UINT nType = MB_OK);

  CWnd* GetDlgItem(int nID) const;
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
  CMenu* GetSystemMenu(BOOL bRevert) const {
    return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert));
  }
  HICON SetIcon(HICON hIcon, BOOL bBigIcon);
  BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
  void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
  void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
  DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
  int GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }
  void SetWindowText(LPCWSTR text) { ::SetWindowTextW(m_hWnd, text); }
  BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
  void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
  }
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
  }

  // Dynamic layout: the move and size percentages of each child, applied
  // whenever the window's size changes.
  CMFCDynamicLayout* GetDynamicLayout() const { return m_pDynamicLayout.get(); }
  void EnableDynamicLayout(BOOL bEnable = TRUE);
  // Reads the layout resource (type "AFX_DIALOG_LAYOUT") of the given name
  // for the window's current children; false when there is none.
  BOOL LoadDynamicLayoutResource(LPCWSTR lpszResourceName);

  // The window procedure of every attached window.
  static LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

 protected:
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  // The original procedure of the window.
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Default processing of the message being handled.
  LRESULT Default();
  virtual void DoDataExchange(CDataExchange* pDX);
  // Called after the window received its last message and was detached.
  virtual void PostNcDestroy() {}

  // Handlers with default processing, for derived classes' message maps.
  void OnSysCommand(UINT nID, LPARAM lParam);
  void OnPaint();
  HCURSOR OnQueryDragIcon();
  void OnSize(UINT nType, int cx, int cy);
  void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
  BOOL OnHelpInfo(HELPINFO* pHelpInfo);

  // Attaches without subclassing (for dialogs, whose procedure is replaced
  // by the framework as soon as they exist).
  void Attach(HWND hWnd);
  HWND Detach();

  WNDPROC m_pfnSuper = nullptr;
  std::unique_ptr<CMFCDynamicLayout> m_pDynamicLayout;

  DECLARE_MESSAGE_MAP()
};
