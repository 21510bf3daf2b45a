// The framework's visual and shell managers.
#pragma once

#include <shlobj.h>
#include <windows.h>

#include "afx/AfxRuntimeClass.h"

// Decides how the framework's own controls and frames are drawn. Plain
// dialogs and standard controls look the same under every manager, so the
// managers carry no drawing here; what remains is the process-wide choice
// of the default manager.
class CMFCVisualManager : public CObject {
  DECLARE_DYNCREATE(CMFCVisualManager)

 public:
  ~CMFCVisualManager() override = default;

  // Replaces the default manager with a new object of the given class;
  // a class that is not a visual manager is ignored.
  static void SetDefaultManager(const CRuntimeClass* pRTI);
  // The default manager; created on first use when none was set.
  static CMFCVisualManager* GetInstance();
  // Deletes the default manager (at the end of the process).
  static void DestroyInstance();

  virtual const char* GetName() const { return "CMFCVisualManager"; }
};

// The manager that draws like the running Windows version.
class CMFCVisualManagerWindows : public CMFCVisualManager {
  DECLARE_DYNCREATE(CMFCVisualManagerWindows)

 public:
  const char* GetName() const override { return "CMFCVisualManagerWindows"; }
};

// Holds the shell's memory allocator for item lists, which the framework's
// folder and file helpers use. Constructing it makes it the process's shell
// manager; destroying it releases the allocator.
class CShellManager {
 public:
  CShellManager();
  CShellManager(const CShellManager&) = delete;
  CShellManager& operator=(const CShellManager&) = delete;
  ~CShellManager();

  // The shell item list for a path; the caller frees it with FreeItem.
  HRESULT ItemFromPath(LPCWSTR lpszPath, LPITEMIDLIST& pidl);
  void FreeItem(LPITEMIDLIST pidl);
  bool HasAllocator() const { return m_pMalloc != nullptr; }

 private:
  IMalloc* m_pMalloc = nullptr;
};

// The shell manager of the process, or null.
extern CShellManager* afxShellManager;
