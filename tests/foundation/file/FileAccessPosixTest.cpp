// The POSIX side of the file seam: Windows separators and error numbers on
// a system that has neither.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "foundation/file/FileAccess.h"
#include "foundation/platform/Platform.h"
#include "foundation/text/XString.h"
#include "tests/foundation/RecordingLog.h"
#include "tests/foundation/file/FileTestSupport.h"

namespace rozazar {
namespace {

using PosixFilesInFolder = testing::ScratchFolder;

TEST(PosixFiles, FullPathsAreNormalisedLexically) {
  XString here;
  ASSERT_TRUE(currentDirectory(here));
  XString in;
  XString out;
  ASSERT_TRUE(in.setFromUtf8("a/./b/../c\\d"));
  ASSERT_TRUE(fullPath(in, out));
  EXPECT_EQ(std::string(out.getUtf8()), std::string(here.getUtf8()) + "/a/c/d");
  ASSERT_TRUE(in.setFromUtf8("/x/../../y/"));
  ASSERT_TRUE(fullPath(in, out));
  EXPECT_STREQ(out.getUtf8(), "/y/");
}

TEST(PosixFiles, NoLongPathPrefix) {
  XString path;
  ASSERT_TRUE(path.setFromUtf8("\\tmp\\file.txt"));
  makeAbsoluteLongPath(path);
  EXPECT_STREQ(path.getUtf8(), "/tmp/file.txt");
  EXPECT_FALSE(platform::usesLongPathPrefix());
}

TEST_F(PosixFilesInFolder, ErrorsCarryWindowsNumbers) {
  int errorClass = -1;
  testing::RecordingLog log;
  // A folder opened as a file is refused, as on Windows.
  EXPECT_EQ(openFileWin32(m_folder.u8string().c_str(), true, false, false, false, false, false,
                          errorClass, &log),
            nullptr);
  EXPECT_EQ(errorClass, kFileAccessDenied);
  EXPECT_EQ(log.valueOf("windowsError"), "5");
  char text[256];
  ASSERT_GT(platform::fileErrorText(3, text, sizeof text), 0u);
  EXPECT_STREQ(text, std::strerror(ENOTDIR));
}

}  // namespace
}  // namespace rozazar
