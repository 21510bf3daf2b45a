#include "afx/AfxManagers.h"

#include <memory>

IMPLEMENT_DYNCREATE(CMFCVisualManager)
IMPLEMENT_DYNCREATE(CMFCVisualManagerWindows)

namespace {
std::unique_ptr<CMFCVisualManager>& DefaultManager() {
  static std::unique_ptr<CMFCVisualManager> manager;
  return manager;
}
}  // namespace

void CMFCVisualManager::SetDefaultManager(const CRuntimeClass* pRTI) {
  if (pRTI == nullptr) return;
  std::unique_ptr<CObject> object(pRTI->CreateObject());
  auto* manager = dynamic_cast<CMFCVisualManager*>(object.get());
  if (manager == nullptr) return;
  object.release();
  DefaultManager().reset(manager);
}

CMFCVisualManager* CMFCVisualManager::GetInstance() {
  if (!DefaultManager()) DefaultManager() = std::make_unique<CMFCVisualManager>();
  return DefaultManager().get();
}

void CMFCVisualManager::DestroyInstance() { DefaultManager().reset(); }

CShellManager* afxShellManager = nullptr;

CShellManager::CShellManager() {
  if (FAILED(::SHGetMalloc(&m_pMalloc))) m_pMalloc = nullptr;
  afxShellManager = this;
}

CShellManager::~CShellManager() {
  if (afxShellManager == this) afxShellManager = nullptr;
  if (m_pMalloc != nullptr) m_pMalloc->Release();
}

HRESULT CShellManager::ItemFromPath(LPCWSTR lpszPath, LPITEMIDLIST& pidl) {
  pidl = nullptr;
  if (lpszPath == nullptr) return E_INVALIDARG;
  PIDLIST_ABSOLUTE item = nullptr;
  HRESULT result = ::SHParseDisplayName(lpszPath, nullptr, &item, 0, nullptr);
  if (SUCCEEDED(result)) pidl = item;
  return result;
}

void CShellManager::FreeItem(LPITEMIDLIST pidl) {
  if (pidl != nullptr && m_pMalloc != nullptr) m_pMalloc->Free(pidl);
}
