#include "afx/AfxWnd.h"

#include <unordered_map>

#include "afx/AfxDataExchange.h"
#include "afx/AfxDynamicLayout.h"
#include "afx/AfxWinApp.h"

namespace {

// Windows belong to the thread that created them, and so do the objects
// attached to them: every thread keeps its own maps. The state is reached
// through a plain thread-local pointer: thread-local objects with destructors
// are unreliable with mingw's emulated TLS (their destructors can run after
// the storage is gone), so the state is deleted explicitly once the thread
// has no windows left (AfxReleaseThreadState).
struct ThreadState {
  std::unordered_map<HWND, CWnd*> permanent;
  std::unordered_map<HWND, std::unique_ptr<CWnd>> temporary;
  std::unordered_map<HMENU, std::unique_ptr<CMenu>> temporaryMenus;
  MSG current = {};  // the message being handled, for Default()
  int depth = 0;     // window procedures of ours on the stack

  ~ThreadState() {
    // Temporary objects only borrow their handles.
    for (auto& entry : temporary) entry.second->m_hWnd = nullptr;
  }
};

thread_local ThreadState* t_state = nullptr;

ThreadState& State() {
  if (t_state == nullptr) t_state = new ThreadState();
  return *t_state;
}

}  // namespace

CMenu* CMenu::FromHandle(HMENU hMenu) {
  if (hMenu == nullptr) return nullptr;
  auto& menus = State().temporaryMenus;
  auto found = menus.find(hMenu);
  if (found != menus.end()) return found->second.get();
  auto menu = std::make_unique<CMenu>();
  menu->m_hMenu = hMenu;
  return menus.emplace(hMenu, std::move(menu)).first->second.get();
}

void CMenu::DeleteTempMap() {
  // Not while a handler of ours runs (a nested modal loop goes idle too):
  // it may still hold one of the wrappers.
  if (State().depth != 0) return;
  State().temporaryMenus.clear();
}

void AfxReleaseThreadState() {
  if (t_state == nullptr || !t_state->permanent.empty() || t_state->depth != 0) return;
  delete t_state;
  t_state = nullptr;
}

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
  typedef CWnd ThisClass;
  static const AFX_MSGMAP_ENTRY entries[] = {ON_WM_SIZE() ON_WM_GETMINMAXINFO()
                                                 ON_WM_HELPINFO(){0, 0, 0, 0, nullptr}};
  static const AFX_MSGMAP map = {&CCmdTarget::GetThisMessageMap, &entries[0]};
  return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

CWnd::~CWnd() {
  CWinApp* app = AfxGetApp();
  if (app != nullptr && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
  if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this) DestroyWindow();
  if (m_hWnd != nullptr) Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  auto& map = State().permanent;
  auto found = map.find(hWnd);
  return found == map.end() ? nullptr : found->second;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
  if (hWnd == nullptr) return nullptr;
  if (CWnd* permanent = FromHandlePermanent(hWnd)) return permanent;
  auto& temporary = State().temporary;
  auto found = temporary.find(hWnd);
  if (found != temporary.end()) return found->second.get();
  auto wnd = std::make_unique<CWnd>();
  wnd->m_hWnd = hWnd;
  return temporary.emplace(hWnd, std::move(wnd)).first->second.get();
}

void CWnd::DeleteTempMap() {
  // Not while a handler of ours runs (a nested modal loop goes idle too):
  // it may still hold one of the wrappers.
  if (State().depth != 0) return;
  auto temporary = std::move(State().temporary);
  State().temporary.clear();
  for (auto& entry : temporary) entry.second->m_hWnd = nullptr;  // borrowed handles
}

void CWnd::Attach(HWND hWnd) {
  m_hWnd = hWnd;
  State().permanent[hWnd] = this;
}

HWND CWnd::Detach() {
  HWND hWnd = m_hWnd;
  if (hWnd != nullptr) {
    auto& map = State().permanent;
    auto found = map.find(hWnd);
    if (found != map.end() && found->second == this) map.erase(found);
  }
  m_hWnd = nullptr;
  return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (m_hWnd != nullptr || hWnd == nullptr || FromHandlePermanent(hWnd) != nullptr) return FALSE;
  Attach(hWnd);
  m_pfnSuper = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::AfxWndProc)));
  if (m_pfnSuper == nullptr) {
    Detach();
    return FALSE;
  }
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  HWND item = pParent ? ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)) : nullptr;
  return item != nullptr && SubclassWindow(item);
}

HWND CWnd::UnsubclassWindow() {
  if (m_hWnd == nullptr) return nullptr;
  if (m_pfnSuper != nullptr &&
      ::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CWnd::AfxWndProc)) {
    ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  }
  m_pfnSuper = nullptr;
  return Detach();
}

BOOL CWnd::DestroyWindow() {
  if (m_hWnd == nullptr) return FALSE;
  HWND hWnd = m_hWnd;
  BOOL destroyed = ::DestroyWindow(hWnd);
  // A window that was not subclassed by us gets no WM_NCDESTROY through our
  // procedure; detach it here.
  if (m_hWnd == hWnd) Detach();
  return destroyed;
}

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
  HWND owner = pAlternateOwner ? pAlternateOwner->GetSafeHwnd() : ::GetWindow(m_hWnd, GW_OWNER);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  HMONITOR screen = ::MonitorFromWindow(owner ? owner : m_hWnd, MONITOR_DEFAULTTONEAREST);
  if (!::GetMonitorInfoW(screen, &monitor)) return;
  RECT area = monitor.rcWork;
  RECT center = area;
  if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
    ::GetWindowRect(owner, &center);
  }
  RECT window = {};
  ::GetWindowRect(m_hWnd, &window);
  int width = window.right - window.left;
  int height = window.bottom - window.top;
  int x = (center.left + center.right) / 2 - width / 2;
  int y = (center.top + center.bottom) / 2 - height / 2;
  if (x + width > area.right) x = area.right - width;
  if (y + height > area.bottom) y = area.bottom - height;
  if (x < area.left) x = area.left;
  if (y < area.top) y = area.top;
  ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK CWnd::AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* wnd = FromHandlePermanent(hWnd);
  if (wnd == nullptr) return ::DefWindowProcW(hWnd, message, wParam, lParam);
  ThreadState& state = State();
  MSG saved = state.current;
  state.current = MSG{hWnd, message, wParam, lParam, 0, {0, 0}};
  ++state.depth;
  LRESULT result = wnd->WindowProc(message, wParam, lParam);
  --state.depth;
  state.current = saved;
  if (message == WM_NCDESTROY) {
    wnd->UnsubclassWindow();
    wnd->PostNcDestroy();
  }
  return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_COMMAND) {
    if (!OnCommand(wParam, lParam)) return FALSE;
    *pResult = 0;
    return TRUE;
  }
  const AFX_MSGMAP_ENTRY* entry = AfxFindMessageEntry(GetMessageMap(), message, 0, 0);
  if (entry == nullptr) return FALSE;
  *pResult = 0;
  return entry->pfn(this, wParam, lParam, pResult) ? TRUE : FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM /*lParam*/) {
  return OnCmdMsg(LOWORD(wParam), HIWORD(wParam));
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper != nullptr) return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
  const MSG& current = State().current;
  return DefWindowProc(current.message, current.wParam, current.lParam);
}

BOOL CWnd::PreTranslateMessage(MSG* /*pMsg*/) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
  for (HWND hWnd = pMsg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
    if (CWnd* wnd = FromHandlePermanent(hWnd)) {
      if (wnd->PreTranslateMessage(pMsg)) return TRUE;
    }
    if (hWnd == hWndStop) break;
  }
  return FALSE;
}

void CWnd::DoDataExchange(CDataExchange* /*pDX*/) {}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx(this, bSaveAndValidate);
  try {
    DoDataExchange(&dx);
  } catch (const CDataExchange::Failure&) {
    return FALSE;
  }
  return TRUE;
}

int CWnd::MessageBox(LPCWSTR lpszText, LPCWSTR lpszCaption, UINT nType) {
  return ::MessageBoxW(m_hWnd, lpszText ? lpszText : L"",
                       lpszCaption ? lpszCaption : AfxGetAppName(), nType);
}

CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
  return reinterpret_cast<HICON>(
      SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}

void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }

void CWnd::OnPaint() { Default(); }

HCURSOR CWnd::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }

void CWnd::OnSize(UINT nType, int, int) {
  Default();
  if (m_pDynamicLayout && nType != SIZE_MINIMIZED) m_pDynamicLayout->Adjust();
}

void CWnd::OnGetMinMaxInfo(MINMAXINFO* lpMMI) {
  Default();
  if (m_pDynamicLayout) m_pDynamicLayout->ApplyMinTrackSize(lpMMI);
}

BOOL CWnd::OnHelpInfo(HELPINFO*) {
  // F1 becomes the Help command of the top-level window, which passes it on
  // to the application when nothing closer handles it.
  HWND top = ::GetAncestor(m_hWnd, GA_ROOT);
  if (top == nullptr) return FALSE;
  ::SendMessageW(top, WM_COMMAND, ID_HELP, 0);
  return TRUE;
}

void CWnd::EnableDynamicLayout(BOOL bEnable) {
  if (!bEnable) {
    m_pDynamicLayout.reset();
  } else if (!m_pDynamicLayout) {
    m_pDynamicLayout = std::make_unique<CMFCDynamicLayout>();
    m_pDynamicLayout->Create(this);
  }
}

BOOL CWnd::LoadDynamicLayoutResource(LPCWSTR lpszResourceName) {
  HINSTANCE module = AfxGetResourceHandle();
  HRSRC resource = ::FindResourceW(module, lpszResourceName, L"AFX_DIALOG_LAYOUT");
  if (resource == nullptr) return FALSE;
  HGLOBAL loaded = ::LoadResource(module, resource);
  const void* data = loaded ? ::LockResource(loaded) : nullptr;
  if (data == nullptr) return FALSE;
  auto layout = std::make_unique<CMFCDynamicLayout>();
  layout->Create(this);
  if (!layout->LoadResource(data, ::SizeofResource(module, resource))) return FALSE;
  m_pDynamicLayout = std::move(layout);
  return TRUE;
}
