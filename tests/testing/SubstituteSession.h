#pragma once
// Puts one build of the substitute Tessel.dll within reach of a bare-name
// LoadLibraryW("Tessel.dll") for the duration of a test, with its call log
// and script in a fresh temporary folder. The test program's own folder must
// not hold a Tessel.dll.
//
// The folders of the three builds come from the build as the compile
// definitions TESSEL_SUBSTITUTE_DIR, TESSEL_SUBSTITUTE_NO_INIT_DIR and
// TESSEL_SUBSTITUTE_NO_ABOUT_DIR.

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "testing/CallLogReader.h"

class SubstituteSession {
 public:
  enum class Build { Full, NoInit, NoAbout, None };

  explicit SubstituteSession(Build build = Build::Full) {
    wchar_t base[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, base);
    static int counter = 0;
    folder_ = std::filesystem::path(base) /
              (L"tessel-substitute-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(counter++));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_ / L"empty");
    logPath_ = (folder_ / L"calls.log").wstring();
    scriptPath_ = (folder_ / L"script.txt").wstring();
    SetEnvironmentVariableW(L"TESSEL_SUBSTITUTE_LOG", logPath_.c_str());
    SetEnvironmentVariableW(L"TESSEL_SUBSTITUTE_SCRIPT", scriptPath_.c_str());
    SetScript("");
    const std::wstring dir =
        build == Build::None ? (folder_ / L"empty").wstring() : LibraryFolder(build);
    SetDllDirectoryW(dir.c_str());
  }

  ~SubstituteSession() {
    SetDllDirectoryW(nullptr);
    SetEnvironmentVariableW(L"TESSEL_SUBSTITUTE_LOG", nullptr);
    SetEnvironmentVariableW(L"TESSEL_SUBSTITUTE_SCRIPT", nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  SubstituteSession(const SubstituteSession&) = delete;
  SubstituteSession& operator=(const SubstituteSession&) = delete;

  // Replaces the script (UTF-8 text in the script format).
  void SetScript(const std::string& script) {
    HANDLE file = CreateFileW(scriptPath_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, script.data(), static_cast<DWORD>(script.size()), &written, nullptr);
    CloseHandle(file);
  }

  // Runs without a script: the substitute's demonstration.
  void RemoveScript() { SetEnvironmentVariableW(L"TESSEL_SUBSTITUTE_SCRIPT", nullptr); }

  std::vector<tessel_substitute::CallRecord> Calls() const {
    return tessel_substitute::ReadCallLog(logPath_);
  }
  std::vector<std::string> CallNames() const { return tessel_substitute::RecordNames(Calls()); }

  static std::wstring LibraryFolder(Build build) {
    const char* dir = build == Build::NoInit    ? TESSEL_SUBSTITUTE_NO_INIT_DIR
                      : build == Build::NoAbout ? TESSEL_SUBSTITUTE_NO_ABOUT_DIR
                                                : TESSEL_SUBSTITUTE_DIR;
    return WindowsPath(dir);
  }

  // A path of the build machine as this program sees it: under Wine the
  // Unix root is drive Z:.
  static std::wstring WindowsPath(const std::string& path) {
    std::wstring wide(path.begin(), path.end());
    if (!wide.empty() && wide[0] == L'/') wide = L"Z:" + wide;
    for (wchar_t& c : wide) {
      if (c == L'/') c = L'\\';
    }
    return wide;
  }

 private:
  std::filesystem::path folder_;
  std::wstring logPath_;
  std::wstring scriptPath_;
};
