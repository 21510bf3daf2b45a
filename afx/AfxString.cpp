#include "afx/AfxString.h"

#include "afx/AfxWinApp.h"

BOOL CString::LoadString(UINT nID) {
  // With a buffer size of 0 LoadStringW returns a pointer to the resource's
  // own, not terminated, text and its length.
  const wchar_t* resource = nullptr;
  int length = ::LoadStringW(AfxGetResourceHandle(), nID, reinterpret_cast<LPWSTR>(&resource), 0);
  if (length <= 0 || resource == nullptr) {
    text_.clear();
    return FALSE;
  }
  text_.assign(resource, static_cast<size_t>(length));
  return TRUE;
}
