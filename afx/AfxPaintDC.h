// The device context of a WM_PAINT: BeginPaint in the constructor, EndPaint
// in the destructor.
#pragma once

#include <windows.h>

class CWnd;

class CPaintDC {
 public:
  explicit CPaintDC(CWnd* pWnd);
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;
  ~CPaintDC();

  HDC GetSafeHdc() const { return m_hDC; }
  BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }

  PAINTSTRUCT m_ps = {};

 private:
  HWND m_hWnd;
  HDC m_hDC;
};
