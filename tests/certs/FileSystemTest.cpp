#include <gtest/gtest.h>

#include <string>

#include "certs/FileSystem.h"
#include "tests/certs/TempFolder.h"

namespace {

namespace fs = std::filesystem;

using varnok::ByteList;
using varnok::ReadFileBytes;
using varnok::WriteFileBytes;

TEST(ReadFileBytes, MissingFileIsFalseAndLeavesTheListUnchanged) {
  TempFolder folder;
  ByteList bytes = {1, 2, 3};
  EXPECT_FALSE(ReadFileBytes(folder.File(L"missing.bin").c_str(), bytes));
  EXPECT_EQ(bytes, (ByteList{1, 2, 3}));
  EXPECT_FALSE(ReadFileBytes(nullptr, bytes));
  EXPECT_EQ(bytes, (ByteList{1, 2, 3}));
}

TEST(ReadFileBytes, EmptyFileIsTrueAndAppendsNothing) {
  TempFolder folder;
  const std::wstring path = folder.File(L"empty.bin");
  ASSERT_TRUE(WriteFileBytes(path.c_str(), {}));
  ByteList bytes = {9};
  EXPECT_TRUE(ReadFileBytes(path.c_str(), bytes));
  EXPECT_EQ(bytes, ByteList{9});
}

TEST(FileBytes, RoundTripAppendsAfterExistingBytes) {
  TempFolder folder;
  // Larger than one read chunk, with every byte value, under a Cyrillic name.
  ByteList content(200000);
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<std::uint8_t>(i * 7);
  const std::wstring path = folder.File(L"данни.bin");
  ASSERT_TRUE(WriteFileBytes(path.c_str(), content));

  ByteList bytes = {0xAA};
  ASSERT_TRUE(ReadFileBytes(path.c_str(), bytes));
  ASSERT_EQ(bytes.size(), content.size() + 1);
  EXPECT_EQ(bytes[0], 0xAA);
  EXPECT_TRUE(std::equal(content.begin(), content.end(), bytes.begin() + 1));
}

TEST(WriteFileBytes, TruncatesAnExistingFile) {
  TempFolder folder;
  const std::wstring path = folder.File(L"t.bin");
  ASSERT_TRUE(WriteFileBytes(path.c_str(), ByteList(100, 1)));
  ASSERT_TRUE(WriteFileBytes(path.c_str(), {7, 8}));
  ByteList bytes;
  ASSERT_TRUE(ReadFileBytes(path.c_str(), bytes));
  EXPECT_EQ(bytes, (ByteList{7, 8}));
}

TEST(WriteFileBytes, MissingFolderIsFalse) {
  TempFolder folder;
  EXPECT_FALSE(WriteFileBytes(folder.File(L"no-folder\\x.bin").c_str(), {1}));
  EXPECT_FALSE(WriteFileBytes(nullptr, {1}));
}

TEST(FileBytes, OpenWhileAnotherHandleWritesTheFile) {
  TempFolder folder;
  const std::wstring path = folder.File(L"shared.bin");
  ASSERT_TRUE(WriteFileBytes(path.c_str(), {1, 2}));
  HANDLE writer =
      CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  ByteList bytes;
  EXPECT_TRUE(ReadFileBytes(path.c_str(), bytes));
  EXPECT_EQ(bytes, (ByteList{1, 2}));
  EXPECT_TRUE(WriteFileBytes(path.c_str(), {3}));
  CloseHandle(writer);
  bytes.clear();
  ASSERT_TRUE(ReadFileBytes(path.c_str(), bytes));
  EXPECT_EQ(bytes, ByteList{3});
}

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

}  // namespace
