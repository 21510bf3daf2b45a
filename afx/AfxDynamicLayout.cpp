#include "afx/AfxDynamicLayout.h"

#include "afx/AfxWnd.h"

void CMFCDynamicLayout::Create(CWnd* pHostWnd) {
  host_ = pHostWnd->GetSafeHwnd();
  RECT client = {};
  RECT window = {};
  ::GetClientRect(host_, &client);
  ::GetWindowRect(host_, &window);
  initialClient_ = {client.right - client.left, client.bottom - client.top};
  initialWindow_ = {window.right - window.left, window.bottom - window.top};
  items_.clear();
}

BOOL CMFCDynamicLayout::AddItem(HWND hWnd, MoveSettings move, SizeSettings size) {
  if (hWnd == nullptr || ::GetParent(hWnd) != host_) return FALSE;
  RECT rect = {};
  ::GetWindowRect(hWnd, &rect);
  ::MapWindowPoints(nullptr, host_, reinterpret_cast<POINT*>(&rect), 2);
  move = {Clamp(move.m_nXRatio), Clamp(move.m_nYRatio)};
  size = {Clamp(size.m_nXRatio), Clamp(size.m_nYRatio)};
  items_.push_back(Item{hWnd, move, size, rect});
  return TRUE;
}

BOOL CMFCDynamicLayout::LoadResource(const void* data, DWORD size) {
  const WORD* words = static_cast<const WORD*>(data);
  size_t count = size / sizeof(WORD);
  if (count < 1 || words[0] != 0) return FALSE;
  size_t next = 1;
  for (HWND child = ::GetWindow(host_, GW_CHILD); child != nullptr && next + 4 <= count;
       child = ::GetWindow(child, GW_HWNDNEXT), next += 4) {
    MoveSettings move{words[next], words[next + 1]};
    SizeSettings grow{words[next + 2], words[next + 3]};
    if (move.m_nXRatio || move.m_nYRatio || grow.m_nXRatio || grow.m_nYRatio) {
      AddItem(child, move, grow);
    }
  }
  return TRUE;
}

void CMFCDynamicLayout::Adjust() {
  if (host_ == nullptr || items_.empty()) return;
  RECT client = {};
  ::GetClientRect(host_, &client);
  int dx = (client.right - client.left) - initialClient_.cx;
  int dy = (client.bottom - client.top) - initialClient_.cy;
  if (dx < 0) dx = 0;
  if (dy < 0) dy = 0;
  HDWP positions = ::BeginDeferWindowPos(static_cast<int>(items_.size()));
  for (const Item& item : items_) {
    int x = item.initial.left + dx * item.move.m_nXRatio / 100;
    int y = item.initial.top + dy * item.move.m_nYRatio / 100;
    int cx = item.initial.right - item.initial.left + dx * item.size.m_nXRatio / 100;
    int cy = item.initial.bottom - item.initial.top + dy * item.size.m_nYRatio / 100;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (positions != nullptr) {
      positions = ::DeferWindowPos(positions, item.hWnd, nullptr, x, y, cx, cy, flags);
    } else {
      ::SetWindowPos(item.hWnd, nullptr, x, y, cx, cy, flags);
    }
  }
  if (positions != nullptr) ::EndDeferWindowPos(positions);
  ::InvalidateRect(host_, nullptr, TRUE);
}

void CMFCDynamicLayout::ApplyMinTrackSize(MINMAXINFO* lpMMI) const {
  if (lpMMI == nullptr || initialWindow_.cx <= 0) return;
  if (lpMMI->ptMinTrackSize.x < initialWindow_.cx) lpMMI->ptMinTrackSize.x = initialWindow_.cx;
  if (lpMMI->ptMinTrackSize.y < initialWindow_.cy) lpMMI->ptMinTrackSize.y = initialWindow_.cy;
}
