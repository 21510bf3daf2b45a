#include "afx/AfxWinApp.h"

#include <shellapi.h>

#include "afx/AfxWnd.h"

namespace {

CWinApp* g_app = nullptr;

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = ::GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (length == 0) return std::wstring();
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::wstring FileTitle(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  size_t dot = name.rfind(L'.');
  return dot == std::wstring::npos ? name : name.substr(0, dot);
}

std::wstring WithExtension(const std::wstring& path, const wchar_t* extension) {
  size_t slash = path.find_last_of(L"\\/");
  size_t dot = path.rfind(L'.');
  if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash)) {
    return path.substr(0, dot) + extension;
  }
  return path + extension;
}

// The window that owns the framework's message boxes: the last active popup
// of the main window, so that a box raised while another modal dialog is up
// belongs to that dialog.
HWND SafeOwner() {
  CWnd* main = AfxGetMainWnd();
  HWND owner = main ? main->GetSafeHwnd() : nullptr;
  if (owner == nullptr || !::IsWindow(owner)) return ::GetActiveWindow();
  return ::GetLastActivePopup(owner);
}

}  // namespace

CWinApp::CWinApp(LPCWSTR lpszAppName) {
  std::wstring module = ModulePath();
  appName_ = lpszAppName ? lpszAppName : FileTitle(module);
  profileName_ = appName_ + L".INI";
  helpFilePath_ = WithExtension(module, L".chm");
  m_pszAppName = appName_.c_str();
  m_pszProfileName = profileName_.c_str();
  m_pszHelpFilePath = helpFilePath_.c_str();
  m_hInstance = ::GetModuleHandleW(nullptr);
  g_app = this;
}

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

void CWinApp::SetRegistryKey(LPCWSTR lpszRegistryKey) {
  registryKey_ = lpszRegistryKey ? lpszRegistryKey : L"";
  m_pszRegistryKey = registryKey_.c_str();
  // With a registry key the profile is named by the application, not by an
  // .INI file.
  profileName_ = appName_;
  m_pszProfileName = profileName_.c_str();
}

void CWinApp::OnHelp() {
  if (::GetFileAttributesW(m_pszHelpFilePath) == INVALID_FILE_ATTRIBUTES) return;
  CWnd* main = AfxGetMainWnd();
  ::ShellExecuteW(main ? main->GetSafeHwnd() : nullptr, L"open", m_pszHelpFilePath, nullptr,
                  nullptr, SW_SHOWNORMAL);
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg) {
  CWnd* main = AfxGetMainWnd();
  return CWnd::WalkPreTranslateTree(main ? main->GetSafeHwnd() : nullptr, pMsg);
}

int CWinApp::Run() {
  MSG msg;
  for (;;) {
    BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    if (!PreTranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      CWnd::DeleteTempMap();
      CMenu::DeleteTempMap();
    }
  }
  CWnd::DeleteTempMap();
  CMenu::DeleteTempMap();
  AfxReleaseThreadState();
  int exitCode = ExitInstance();
  return exitCode != 0 ? exitCode : static_cast<int>(msg.wParam);
}

int CWinApp::DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT /*nIDPrompt*/) {
  // A box without an icon of its own gets the one that suits its buttons.
  if ((nType & MB_ICONMASK) == 0) {
    switch (nType & MB_TYPEMASK) {
      case MB_OK:
      case MB_OKCANCEL:
        nType |= MB_ICONEXCLAMATION;
        break;
      case MB_YESNO:
      case MB_YESNOCANCEL:
        nType |= MB_ICONQUESTION;
        break;
      case MB_ABORTRETRYIGNORE:
      case MB_RETRYCANCEL:
        break;
    }
  }
  return ::MessageBoxW(SafeOwner(), lpszPrompt ? lpszPrompt : L"", m_pszAppName, nType);
}

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }

LPCWSTR AfxGetAppName() {
  if (g_app) return g_app->m_pszAppName;
  static const std::wstring title = FileTitle(ModulePath());
  return title.c_str();
}

HINSTANCE AfxGetInstanceHandle() { return ::GetModuleHandleW(nullptr); }

HINSTANCE AfxGetResourceHandle() { return ::GetModuleHandleW(nullptr); }

int AfxMessageBox(LPCWSTR lpszText, UINT nType, UINT nIDHelp) {
  if (g_app) return g_app->DoMessageBox(lpszText, nType, nIDHelp);
  return ::MessageBoxW(SafeOwner(), lpszText ? lpszText : L"", AfxGetAppName(), nType);
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return -1;
  app->m_hInstance = hInstance;
  if (!app->InitApplication()) return app->ExitInstance();
  if (!app->InitInstance()) {
    if (app->m_pMainWnd != nullptr) app->m_pMainWnd->DestroyWindow();
    return app->ExitInstance();
  }
  return app->Run();
}
