// File access on Windows itself: long-path names and read-only files.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "DataBuffer.h"
#include "FileAccess.h"
#include "FileTestSupport.h"
#include "RecordingLog.h"
#include "XString.h"

namespace rozazar {
namespace {

using Win32FilesInFolder = testing::ScratchFolder;

std::string longForm(const char* in) {
  XString path;
  EXPECT_TRUE(path.setFromUtf8(in));
  makeAbsoluteLongPath(path);
  return path.getUtf8();
}

TEST(Win32Files, AbsolutePathsTakeTheLongForm) {
  EXPECT_EQ(longForm("C:\\data\\x.json"), "\\\\?\\C:\\data\\x.json");
  EXPECT_EQ(longForm("\\\\server\\share\\x.json"), "\\\\?\\UNC\\server\\share\\x.json");
  EXPECT_EQ(longForm("\\\\?\\C:\\already"), "\\\\?\\C:\\already");
  EXPECT_EQ(longForm("NUL"), "NUL");
}

TEST(Win32Files, OpeningWithForwardSlashesUsesTheLongName) {
  testing::RecordingLog log;
  int errorClass = -1;
  EXPECT_EQ(openFileWin32("C:/tessel-no-such-folder/x.json", true, false, false, false, false, true,
                          errorClass, &log),
            nullptr);
  EXPECT_EQ(errorClass, kFileNotFound);
  EXPECT_EQ(log.valueOf("filePath"), "\\\\?\\C:\\tessel-no-such-folder\\x.json");
  EXPECT_EQ(log.valueOf("localWindowsFilePath"), "C:\\tessel-no-such-folder\\x.json");
  // The system's own text for the error, whatever the system's language.
  wchar_t* text = nullptr;
  FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, ERROR_PATH_NOT_FOUND, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  if (text != nullptr) {
    XString expected;
    std::u16string units(reinterpret_cast<const char16_t*>(text));
    while (!units.empty() &&
           (units.back() == u'\n' || units.back() == u'\r' || units.back() == u' '))
      units.pop_back();
    expected.setFromUtf16(units.c_str());
    EXPECT_EQ(log.valueOf("osErrorInfo"), expected.getUtf8());
    LocalFree(text);
  }
}

TEST_F(Win32FilesInFolder, WritingAReadOnlyFileClearsTheAttribute) {
  const std::string name = path("locked.txt");
  ASSERT_TRUE(writeWholeFile(name.c_str(), "old", 3, nullptr));
  XString wide;
  ASSERT_TRUE(wide.setFromUtf8(name.c_str()));
  const auto* widePath = reinterpret_cast<const wchar_t*>(wide.getUtf16());
  ASSERT_TRUE(SetFileAttributesW(widePath, FILE_ATTRIBUTE_READONLY));
  // The system refuses the plain open...
  HANDLE direct = CreateFileW(widePath, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (direct != INVALID_HANDLE_VALUE) {
    // Wine keeps the attribute in the Unix permission bits, which do not
    // bind the superuser: there is nothing to retry on such a system.
    CloseHandle(direct);
    SetFileAttributesW(widePath, FILE_ATTRIBUTE_NORMAL);
    GTEST_SKIP() << "this system lets the read-only file be opened for writing";
  }
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  // ...so the routine clears the attribute and opens again.
  ASSERT_TRUE(writeWholeFile(name.c_str(), "new", 3, nullptr));
  EXPECT_EQ(GetFileAttributesW(widePath) & FILE_ATTRIBUTE_READONLY, 0u);
  DataBuffer loaded;
  ASSERT_TRUE(loaded.loadFile(name.c_str(), nullptr));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(loaded.data()), loaded.size()), "new");
}

TEST_F(Win32FilesInFolder, AHiddenFileIsCreatedHidden) {
  const std::string name = path("hidden.txt");
  int errorClass = -1;
  RozazarHandle* handle =
      openFileWin32(name.c_str(), false, true, false, true, false, true, errorClass, nullptr);
  ASSERT_NE(handle, nullptr);
  delete handle;
  XString wide;
  ASSERT_TRUE(wide.setFromUtf8(name.c_str()));
  EXPECT_NE(
      GetFileAttributesW(reinterpret_cast<const wchar_t*>(wide.getUtf16())) & FILE_ATTRIBUTE_HIDDEN,
      0u);
}

}  // namespace
}  // namespace rozazar
