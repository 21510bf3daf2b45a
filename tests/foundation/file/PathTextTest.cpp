#include <gtest/gtest.h>

#include "foundation/file/PathText.h"

namespace {

using rozazar::directoryOf;
using rozazar::extensionOf;
using rozazar::lowerCased;
using rozazar::withoutExtension;

TEST(PathText, ExtensionFollowsThePathRules) {
  const struct {
    const wchar_t* path;
    const wchar_t* extension;
    const wchar_t* without;
  } cases[] = {
      {L"C:\\d\\x.p7m", L".p7m", L"C:\\d\\x"},
      {L"C:\\d\\x.tar.gz", L".gz", L"C:\\d\\x.tar"},
      {L"C:\\d\\x", L"", L"C:\\d\\x"},
      {L"C:\\d.v2\\x", L"", L"C:\\d.v2\\x"},
      {L"C:\\d\\.p7s", L"", L"C:\\d\\.p7s"},
      {L"C:\\d\\..p7s", L".p7s", L"C:\\d\\."},
      {L"C:\\d\\x.", L".", L"C:\\d\\x"},
      {L"C:\\d\\.", L"", L"C:\\d\\."},
      {L"C:\\d\\..", L"", L"C:\\d\\.."},
      {L"C:/d/x.P7S", L".P7S", L"C:/d/x"},
      {L"C:\\d\\x.p7s:stream.txt", L".p7s", L"C:\\d\\x:stream.txt"},
      {L"x.p7m", L".p7m", L"x"},
      {L"C:x.p7m", L".p7m", L"C:x"},
      {L"", L"", L""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(extensionOf(c.path), c.extension) << c.path;
    EXPECT_EQ(withoutExtension(c.path), c.without) << c.path;
  }
}

TEST(PathText, DirectoryKeepsOnlyTheRootsSeparator) {
  const struct {
    const wchar_t* path;
    const wchar_t* directory;
  } cases[] = {
      {L"C:\\dir\\a.p7m", L"C:\\dir"},
      {L"C:\\dir\\sub\\a", L"C:\\dir\\sub"},
      {L"C:\\a.p7m", L"C:\\"},
      {L"C:\\\\a.p7m", L"C:\\"},
      {L"C:\\dir\\\\a", L"C:\\dir"},
      {L"C:/dir/a", L"C:/dir"},
      {L"\\\\srv\\share\\a", L"\\\\srv\\share"},
      {L"\\a", L"\\"},
      {L"a.p7m", L""},
      {L"C:a", L"C:"},
  };
  for (const auto& c : cases) EXPECT_EQ(directoryOf(c.path), c.directory) << c.path;
}

// std::filesystem joins with the platform's own separator.
#ifdef _WIN32
TEST(PathText, JoinPutsOneBackslashBetween) {
  EXPECT_EQ(rozazar::joinPath(L"c:\\Users\\x\\Desktop\\", L"A.crl").wstring(),
            L"c:\\Users\\x\\Desktop\\A.crl");
  EXPECT_EQ(rozazar::joinPath(L"c:\\Users\\x\\Desktop", L"A.crl").wstring(),
            L"c:\\Users\\x\\Desktop\\A.crl");
  EXPECT_EQ(rozazar::joinPath(L"c:\\", L"A.crl").wstring(), L"c:\\A.crl");
}
#endif

}  // namespace
