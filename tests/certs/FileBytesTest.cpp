#include <gtest/gtest.h>

#include "FileBytes.h"
#include "TempFolder.h"

namespace {

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

}  // namespace
