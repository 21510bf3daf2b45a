// File access on Windows itself: long-path names and read-only files.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "foundation/containers/DataBuffer.h"
#include "foundation/file/FileAccess.h"
#include "foundation/text/XString.h"
#include "tests/foundation/RecordingLog.h"
#include "tests/foundation/file/FileTestSupport.h"

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
