// The application object and the framework's global functions: the one
// CWinApp of the process, its main window, its title (the default caption of
// message boxes) and the program's entry.
#pragma once

#include <windows.h>

#include <string>

#include "afx/AfxCmdTarget.h"

class CWnd;

// The framework's Help command.
#ifndef ID_HELP
#define ID_HELP 0xE146
#endif

class CWinApp : public CCmdTarget {
 public:
  // lpszAppName is the application's title; without one the title is the
  // executable's file name without its extension.
  explicit CWinApp(LPCWSTR lpszAppName = nullptr);
  ~CWinApp() override;

  virtual BOOL InitApplication() { return TRUE; }
  virtual BOOL InitInstance() { return TRUE; }
  virtual int ExitInstance() { return 0; }
  // The message loop of an application whose InitInstance returned TRUE.
  virtual int Run();
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // Shows a message box owned by the main window (or its active popup) with
  // the application's title as caption.
  virtual int DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT nIDPrompt);

  // Names the key under which the framework would keep the application's
  // settings. Nothing is read or written there: the key is only remembered.
  void SetRegistryKey(LPCWSTR lpszRegistryKey);

  // Help command: opens the help file beside the executable (its name with
  // ".chm") when there is one; an application without help does nothing.
  void OnHelp();

  CWnd* m_pMainWnd = nullptr;
  HINSTANCE m_hInstance = nullptr;
  LPCWSTR m_pszAppName = nullptr;
  LPCWSTR m_pszRegistryKey = nullptr;
  LPCWSTR m_pszProfileName = nullptr;
  LPCWSTR m_pszHelpFilePath = nullptr;

 private:
  std::wstring appName_;
  std::wstring registryKey_;
  std::wstring profileName_;
  std::wstring helpFilePath_;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
LPCWSTR AfxGetAppName();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();

int AfxMessageBox(LPCWSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);

// The program's body: runs the application object's InitApplication and
// InitInstance, then its message loop when InitInstance returned TRUE.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);
