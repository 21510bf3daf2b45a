// The application's start-up, run as the program runs it (InitInstance on a
// UI thread of its own), observed from outside and after it returned.
#include <gtest/gtest.h>

#include <atomic>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "app/TesselTestApp.h"
#include "tests/app/DialogDriver.h"

using dialog_test::FindThreadDialog;
using dialog_test::WaitFor;

// The one application object of this test program, as in the console.
extern CTesselTestApp testApp;

namespace {

struct AfterStart {
  BOOL initResult = TRUE;
  LCID locale = 0;
  std::wstring preferredLanguages;
  std::wstring dllDirectory = L"(not read)";
  std::string visualManager;
  bool shellManagerLeft = true;
  bool mainWindowCleared = false;
};

// Whether this system keeps a thread's preferred UI languages at all (Wine
// accepts the call and keeps its own list), tried on a scratch thread.
bool SystemKeepsPreferredLanguages();

std::wstring ThreadPreferredLanguages() {
  ULONG count = 0;
  ULONG size = 0;
  if (!::GetThreadPreferredUILanguages(MUI_LANGUAGE_NAME, &count, nullptr, &size)) return L"";
  std::wstring names(size, L'\0');
  if (!::GetThreadPreferredUILanguages(MUI_LANGUAGE_NAME, &count, &names[0], &size)) return L"";
  return names;
}

// Runs the application's InitInstance on a UI thread, lets `whileRunning`
// work on the console, closes it and reports what the thread looks like
// afterwards.
AfterStart RunApplication(const std::function<void(HWND)>& whileRunning) {
  AfterStart after;
  std::atomic<bool> done{false};
  dialog_test::UiThread ui([&] {
    after.initResult = testApp.InitInstance();
    after.locale = ::GetThreadLocale();
    after.preferredLanguages = ThreadPreferredLanguages();
    wchar_t directory[MAX_PATH] = L"?";
    DWORD length = ::GetDllDirectoryW(MAX_PATH, directory);
    after.dllDirectory.assign(directory, length);
    after.visualManager = CMFCVisualManager::GetInstance()->GetName();
    after.shellManagerLeft = afxShellManager != nullptr;
    after.mainWindowCleared = testApp.m_pMainWnd == nullptr;
    done = true;
  });
  HWND dialog = nullptr;
  EXPECT_TRUE(WaitFor([&] {
    dialog = FindThreadDialog(ui.Id(), L"TesselTest");
    return dialog != nullptr;
  }));
  if (dialog != nullptr) {
    whileRunning(dialog);
    ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  }
  EXPECT_TRUE(WaitFor([&] { return done.load(); }));
  ui.Join();
  return after;
}

bool SystemKeepsPreferredLanguages() {
  bool kept = false;
  std::thread scratch([&kept] {
    ULONG count = 0;
    ::SetThreadPreferredUILanguages(MUI_LANGUAGE_NAME, L"bg-BG\0", &count);
    kept = ThreadPreferredLanguages() == std::wstring(L"bg-BG\0\0", 7);
  });
  scratch.join();
  return kept;
}

}  // namespace

TEST(Startup, PreparesTheThreadRunsTheConsoleAndReturnsFalse) {
  HWND mainWindow = nullptr;
  bool shellManagerWhileRunning = false;
  std::wstring registryKey;
  AfterStart after = RunApplication([&](HWND) {
    mainWindow = testApp.m_pMainWnd ? testApp.m_pMainWnd->GetSafeHwnd() : nullptr;
    shellManagerWhileRunning = afxShellManager != nullptr && afxShellManager->HasAllocator();
    registryKey = testApp.m_pszRegistryKey ? testApp.m_pszRegistryKey : L"";
  });
  EXPECT_NE(mainWindow, nullptr) << "the console is the application's main window";
  EXPECT_TRUE(shellManagerWhileRunning);
  EXPECT_EQ(registryKey, L"TesselTest Application - Varnok!");
  // Nothing was stored under the key.
  HKEY key = nullptr;
  EXPECT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\TesselTest Application - Varnok!", 0,
                            KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
  if (key != nullptr) ::RegCloseKey(key);

  EXPECT_FALSE(after.initResult);
  EXPECT_EQ(after.locale, 1026u);
  if (SystemKeepsPreferredLanguages()) {
    EXPECT_EQ(after.preferredLanguages, std::wstring(L"bg-BG\0\0", 7));
  } else {
    std::cout << "[ NOTE     ] this system does not keep a thread's preferred UI languages\n";
  }
  EXPECT_EQ(after.visualManager, "CMFCVisualManagerWindows");
  EXPECT_FALSE(after.shellManagerLeft);
  EXPECT_TRUE(after.mainWindowCleared);
  // The current directory is out of the library search order: an empty DLL
  // directory on Windows, the program's own folder under Wine, which reads
  // an empty one as the current directory.
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  if (::GetProcAddress(ntdll, "wine_get_version") != nullptr) {
    std::wstring folder = dialog_test::ProgramFolder();
    EXPECT_EQ(after.dllDirectory + L"\\", folder);
  } else {
    EXPECT_EQ(after.dllDirectory, L"");
  }
  ::SetDllDirectoryW(nullptr);
}

TEST(Startup, ApplicationTitleIsTheDefaultCaption) {
  EXPECT_STREQ(AfxGetAppName(), L"TesselTest");
  EXPECT_EQ(AfxGetApp(), &testApp);
}

TEST(Startup, CommonControlsSixAreLoadedThroughTheManifest) {
  // comctl32's version report says 5.81 under Wine even for version 6, so
  // the loaded module's path tells them apart.
  HMODULE controls = ::GetModuleHandleW(L"comctl32.dll");
  ASSERT_NE(controls, nullptr);
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(controls, path, MAX_PATH);
  std::wstring lower(path);
  for (auto& c : lower) c = static_cast<wchar_t>(::towlower(c));
  // The side-by-side assembly of this process's own architecture.
  const std::wstring assembly = std::wstring(sizeof(void*) == 8 ? L"amd64" : L"x86") +
                                L"_microsoft.windows.common-controls_6595b64144ccf1df_6.0";
  EXPECT_NE(lower.find(assembly), std::wstring::npos) << path;
}

TEST(Startup, LibraryInTheStartFolderIsNotLoaded) {
  // A folder holding a Tessel.dll becomes the current directory, as when
  // the console is started from a folder someone planted the library in.
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  std::wstring planted =
      std::wstring(temp) + L"tessel-planted-" + std::to_wstring(::GetCurrentProcessId());
  ::CreateDirectoryW(planted.c_str(), nullptr);
  std::wstring library = planted + L"\\Tessel.dll";
  ASSERT_TRUE(::CopyFileW((dialog_test::ProgramFolder() + L"substitutes\\full\\Tessel.dll").c_str(),
                          library.c_str(), FALSE));
  wchar_t previous[MAX_PATH] = {};
  ::GetCurrentDirectoryW(MAX_PATH, previous);
  ASSERT_TRUE(::SetCurrentDirectoryW(planted.c_str()));

  // Without the start-up's precaution the bare name finds it there.
  ::SetDllDirectoryW(nullptr);
  HMODULE found = ::LoadLibraryW(L"Tessel.dll");
  EXPECT_NE(found, nullptr) << "the current directory should be searched by default";
  if (found) ::FreeLibrary(found);

  std::vector<dialog_test::SeenBox> seen;
  RunApplication([&](HWND dialog) {
    dialog_test::MessageBoxWatcher boxes;
    dialog_test::PostClick(dialog, 1007);
    EXPECT_TRUE(boxes.WaitForCount(1));
    WaitFor([&] { return ::IsWindowEnabled(dialog) != FALSE; });
    seen = boxes.Seen();
  });
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, L"TesselTest")
      << "the console's own load error, not the library's box";
  EXPECT_NE(seen[0].text.find(L"Error 0x7e"), std::wstring::npos)
      << std::string(seen[0].text.begin(), seen[0].text.end());

  ::SetDllDirectoryW(nullptr);
  ::SetCurrentDirectoryW(previous);
  ::DeleteFileW(library.c_str());
  ::RemoveDirectoryW(planted.c_str());
}

TEST(Resources, VersionBlockNamesVersion1001) {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  DWORD ignored = 0;
  DWORD size = ::GetFileVersionInfoSizeW(path, &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(::GetFileVersionInfoW(path, 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
}

namespace {
BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param) {
  reinterpret_cast<std::vector<WORD>*>(param)->push_back(language);
  return TRUE;
}
}  // namespace

TEST(Resources, IconIsBulgarianOnly) {
  std::vector<WORD> languages;
  ::EnumResourceLanguagesW(nullptr, RT_GROUP_ICON, MAKEINTRESOURCEW(128), &CollectLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
  EXPECT_EQ(languages, std::vector<WORD>{1026});
}
