#include "app/TesselTestApp.h"

#include <commctrl.h>

#include <memory>

#include "app/LibrarySearchOrder.h"
#include "app/TesselTestDlg.h"

namespace {
constexpr LCID kBulgarian = 1026;
}

BEGIN_MESSAGE_MAP(CTesselTestApp, CWinApp)
ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CTesselTestApp::CTesselTestApp() : CWinApp(L"TesselTest") {}

BOOL CTesselTestApp::InitInstance() {
  // The signing library is loaded by its bare name for every command: a
  // Tessel.dll in whatever folder the console was started from must not be
  // the one that is loaded.
  RemoveCurrentDirectoryFromLibrarySearch();

  ::SetThreadLocale(kBulgarian);
  ::SetThreadUILanguage(static_cast<LANGID>(kBulgarian));
  // The preferred UI languages are a list of names, each terminated, with an
  // empty name at the end.
  static const wchar_t kPreferredLanguages[] = L"bg-BG\0";
  ULONG languageCount = 0;
  ::SetThreadPreferredUILanguages(MUI_LANGUAGE_NAME, kPreferredLanguages, &languageCount);

  CMFCVisualManager::SetDefaultManager(RUNTIME_CLASS(CMFCVisualManagerWindows));

  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof(controls);
  controls.dwICC = 0xFF;  // every class of ICC_WIN95_CLASSES
  ::InitCommonControlsEx(&controls);

  CWinApp::InitInstance();

  auto shellManager = std::make_unique<CShellManager>();

  CMFCVisualManager::SetDefaultManager(RUNTIME_CLASS(CMFCVisualManagerWindows));

  SetRegistryKey(L"TesselTest Application - Varnok!");

  {
    CTesselTestDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    shellManager.reset();
  }  // the dialog is destroyed here, after the shell manager
  return FALSE;
}
