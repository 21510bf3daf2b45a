// A small wide string with the operations the console's windows use: load a
// string resource, test for emptiness, hand it on as a zero-terminated text.
#pragma once

#include <windows.h>

#include <string>

class CString {
 public:
  CString() = default;
  CString(LPCWSTR text) : text_(text ? text : L"") {}  // NOLINT: implicit like the framework's
  explicit CString(std::wstring text) : text_(std::move(text)) {}

  // Loads string resource id of the application's resources; false (and an
  // empty string) when there is no such string or it is empty.
  BOOL LoadString(UINT nID);

  bool IsEmpty() const { return text_.empty(); }
  int GetLength() const { return static_cast<int>(text_.size()); }
  LPCWSTR GetString() const { return text_.c_str(); }
  operator LPCWSTR() const { return text_.c_str(); }  // NOLINT: the framework converts implicitly
  const std::wstring& str() const { return text_; }

  CString& operator+=(LPCWSTR text) {
    if (text) text_ += text;
    return *this;
  }
  bool operator==(LPCWSTR text) const { return text_ == (text ? text : L""); }

 private:
  std::wstring text_;
};
