#pragma once
// A fresh folder under the system's temporary folder, removed with everything
// in it when the object ends.

#include <windows.h>

#include <filesystem>
#include <string>

class TempFolder {
 public:
  TempFolder() {
    wchar_t base[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, base);
    path_ =
        std::filesystem::path(base) / (L"tessel-certs-" + std::to_wstring(GetCurrentProcessId()) +
                                       L"-" + std::to_wstring(counter_++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::wstring File(const wchar_t* name) const { return (path_ / name).wstring(); }

 private:
  static inline int counter_ = 0;
  std::filesystem::path path_;
};
