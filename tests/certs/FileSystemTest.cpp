#include <gtest/gtest.h>

#include <string>

#include "FileBytes.h"
#include "FileSystem.h"
#include "TempFolder.h"

namespace {

namespace fs = std::filesystem;

// Runs `operation` and returns the file-system error it raised; fails the
// test when it raised none.
template <typename Operation>
fs::filesystem_error RaisedBy(Operation operation) {
  try {
    operation();
  } catch (const fs::filesystem_error& error) {
    return error;
  }
  ADD_FAILURE() << "no filesystem_error raised";
  return fs::filesystem_error("none", std::error_code());
}

bool Mentions(const fs::filesystem_error& error, const std::string& word) {
  return std::string(error.what()).find(word) != std::string::npos;
}

TEST(FileSystem, ExistenceAndDirectoryTests) {
  TempFolder folder;
  const fs::path file = folder.Path() / L"файл.crl";
  ASSERT_TRUE(varnok::WriteFileBytes(file.c_str(), {1}));

  EXPECT_TRUE(varnok::PathExists(folder.Path()));
  EXPECT_TRUE(varnok::PathExists(file));
  EXPECT_FALSE(varnok::PathExists(folder.Path() / L"missing"));
  EXPECT_FALSE(varnok::PathExists(folder.Path() / L"missing" / L"deeper"));

  EXPECT_TRUE(varnok::IsDirectoryPath(folder.Path()));
  EXPECT_FALSE(varnok::IsDirectoryPath(file));
  EXPECT_FALSE(varnok::IsDirectoryPath(folder.Path() / L"missing"));
}

TEST(FileSystem, CreateDirectoryOnceThenReportsItExists) {
  TempFolder folder;
  const fs::path created = folder.Path() / L"кеш";
  EXPECT_TRUE(varnok::CreateDirectoryPath(created));
  EXPECT_TRUE(varnok::IsDirectoryPath(created));
  EXPECT_FALSE(varnok::CreateDirectoryPath(created));
}

TEST(FileSystem, CreateDirectoryFailureCarriesOperationAndPath) {
  TempFolder folder;
  const fs::path orphan = folder.Path() / L"no-parent" / L"child";
  const fs::filesystem_error error = RaisedBy([&] { varnok::CreateDirectoryPath(orphan); });
  EXPECT_TRUE(Mentions(error, "create_directory")) << error.what();
  EXPECT_EQ(error.path1(), orphan);
  EXPECT_TRUE(error.code());

  // A file in the way of the directory is a failure too, not "exists".
  const fs::path file = folder.Path() / L"plain";
  ASSERT_TRUE(varnok::WriteFileBytes(file.c_str(), {1}));
  const fs::filesystem_error blocked = RaisedBy([&] { varnok::CreateDirectoryPath(file); });
  EXPECT_TRUE(Mentions(blocked, "create_directory")) << blocked.what();
  EXPECT_EQ(blocked.path1(), file);
}

TEST(FileSystem, RemoveFileAndMissingFile) {
  TempFolder folder;
  const fs::path file = folder.Path() / L"old.crl";
  ASSERT_TRUE(varnok::WriteFileBytes(file.c_str(), {1}));
  EXPECT_TRUE(varnok::RemovePath(file));
  EXPECT_FALSE(varnok::PathExists(file));
  EXPECT_FALSE(varnok::RemovePath(file));
}

TEST(FileSystem, RemoveFailureCarriesOperationAndPath) {
  TempFolder folder;
  const fs::path full = folder.Path() / L"full";
  ASSERT_TRUE(varnok::CreateDirectoryPath(full));
  ASSERT_TRUE(varnok::WriteFileBytes((full / L"x").c_str(), {1}));
  const fs::filesystem_error error = RaisedBy([&] { varnok::RemovePath(full); });
  EXPECT_TRUE(Mentions(error, "remove")) << error.what();
  EXPECT_EQ(error.path1(), full);
}

TEST(FileSystem, JoinPutsOneBackslashBetween) {
  EXPECT_EQ(varnok::JoinPath(L"c:\\Users\\x\\Desktop\\", L"A.crl").wstring(),
            L"c:\\Users\\x\\Desktop\\A.crl");
  EXPECT_EQ(varnok::JoinPath(L"c:\\Users\\x\\Desktop", L"A.crl").wstring(),
            L"c:\\Users\\x\\Desktop\\A.crl");
  EXPECT_EQ(varnok::JoinPath(L"c:\\", L"A.crl").wstring(), L"c:\\A.crl");
}

}  // namespace
