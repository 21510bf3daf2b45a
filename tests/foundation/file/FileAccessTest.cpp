#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "foundation/containers/DataBuffer.h"
#include "foundation/file/FileAccess.h"
#include "foundation/text/XString.h"
#include "tests/foundation/RecordingLog.h"
#include "tests/foundation/TestObjects.h"
#include "tests/foundation/file/FileTestSupport.h"

namespace rozazar {
namespace {

using testing::RecordingLog;
using FileAccess = testing::ScratchFolder;

std::string contentOf(const DataBuffer& b) {
  return std::string(reinterpret_cast<const char*>(b.data()), b.size());
}

TEST_F(FileAccess, WholeFilesGoOutAndComeBackUnderUnicodeNames) {
  const std::string name = path("данни-😀.json");
  const std::string content = "{\"име\":\"стойност\"}\n";
  RecordingLog log;
  ASSERT_TRUE(writeWholeFile(name.c_str(), content.data(),
                             static_cast<std::uint32_t>(content.size()), &log));
  DataBuffer loaded;
  ASSERT_TRUE(loaded.loadFile(name.c_str(), &log));
  EXPECT_EQ(contentOf(loaded), content);
  EXPECT_EQ(loaded.capacity(), content.size() + 32);
  // Writing again truncates.
  ASSERT_TRUE(writeWholeFile(name.c_str(), "x", 1, nullptr));
  ASSERT_TRUE(loaded.loadFile(name.c_str(), nullptr));
  EXPECT_EQ(contentOf(loaded), "x");
}

TEST_F(FileAccess, EmptyAndMissingFiles) {
  const std::string empty = path("empty.txt");
  ASSERT_TRUE(writeWholeFile(empty.c_str(), nullptr, 0, nullptr));
  DataBuffer loaded;
  ASSERT_TRUE(loaded.appendBytes("old", 3));
  ASSERT_TRUE(loaded.loadFile(empty.c_str(), nullptr));
  EXPECT_EQ(loaded.size(), 0u);

  RecordingLog log;
  EXPECT_FALSE(loaded.loadFile(path("missing.txt").c_str(), &log));
  EXPECT_TRUE(log.has("enter:loadFileX"));
  EXPECT_TRUE(log.has("error:Failed to open for read."));
  EXPECT_EQ(log.lines.back(), "leave");

  int errorClass = -1;
  EXPECT_EQ(openFileWin32(path("missing.txt").c_str(), true, false, false, false, false, true,
                          errorClass, &log),
            nullptr);
  EXPECT_EQ(errorClass, kFileNotFound);
  EXPECT_EQ(log.valueOf("windowsError"), "2");
  EXPECT_TRUE(log.has("error:Failed to open file (3)"));

  RecordingLog emptyLog;
  EXPECT_EQ(openFileWin32("", true, false, false, false, false, true, errorClass, &emptyLog),
            nullptr);
  EXPECT_TRUE(emptyLog.has("error:openFileWin32: file path is empty."));
  EXPECT_FALSE(writeWholeFile("", "x", 1, nullptr));
}

TEST_F(FileAccess, ALoadWithoutMemoryReportsTheSize) {
  const std::string name = path("big.bin");
  const std::string content(100000, 'b');
  ASSERT_TRUE(writeWholeFile(name.c_str(), content.data(), 100000, nullptr));
  DataBuffer loaded;
  RecordingLog log;
  {
    testing::AllocationRefusal refuse(100000);
    EXPECT_FALSE(loaded.loadFile(name.c_str(), &log));
  }
  EXPECT_TRUE(log.has("error:Out of memory"));
  EXPECT_EQ(log.valueOf("fileSize"), "100000");
  EXPECT_EQ(loaded.size(), 0u);
}

TEST_F(FileAccess, ExistenceAndAttributes) {
  bool uncertain = true;
  EXPECT_FALSE(fileExists(path("missing.txt").c_str(), uncertain, nullptr));
  EXPECT_FALSE(uncertain);
  EXPECT_FALSE(fileExists(path("no-folder/missing.txt").c_str(), uncertain, nullptr));
  EXPECT_FALSE(uncertain);
  EXPECT_FALSE(fileExists("", uncertain, nullptr));
  ASSERT_TRUE(writeWholeFile(path("here.txt").c_str(), "1", 1, nullptr));
  EXPECT_TRUE(fileExists(path("here.txt").c_str(), uncertain, nullptr));
  EXPECT_FALSE(uncertain);

  // A name longer than file systems take names no file (POSIX: name too
  // long; Windows: invalid name or name too long; Wine: not found).
  const std::string tooLong = path(std::string(300, 'n'));
  RecordingLog tooLongLog;
  EXPECT_FALSE(fileExists(tooLong.c_str(), uncertain, &tooLongLog));
  EXPECT_FALSE(uncertain);
  EXPECT_FALSE(tooLongLog.valueOf("WindowsError").empty());

  std::uint32_t attributes = 0;
  std::uint32_t error = 0;
  ASSERT_TRUE(getAttributes(m_folder.u8string().c_str(), attributes, error, nullptr));
  EXPECT_NE(attributes & platform::kAttributeDirectory, 0u);
  RecordingLog log;
  EXPECT_FALSE(getAttributes("", attributes, error, &log));
  EXPECT_TRUE(log.has("error:GetAttributes: filename is empty"));
}

TEST_F(FileAccess, NameRepairWhenWriting) {
  RecordingLog log;
  ASSERT_TRUE(writeWholeFile(path("document:notes.txt").c_str(), "n", 1, &log));
  EXPECT_TRUE(exists("document_notes.txt"));
  // A drive letter before the name makes it the message about later colons,
  // which ends in two full stops.
  EXPECT_TRUE(log.has("error:The : character is not allowed in Windows filenames.") ||
              log.has("error:The : character is not allowed in Windows filenames.."));
  EXPECT_NE(log.valueOf("modifiedFilename").find("document_notes.txt"), std::string::npos);
  // Reading finds the repaired name too.
  DataBuffer loaded;
  RecordingLog readLog;
  ASSERT_TRUE(loaded.loadFile(path("document:notes.txt").c_str(), &readLog))
      << ::testing::PrintToString(readLog.lines);
  EXPECT_EQ(contentOf(loaded), "n");

  ASSERT_TRUE(writeWholeFile(path("a|b?c*d<e>f\"g.txt").c_str(), "q", 1, nullptr));
  EXPECT_TRUE(exists("a_b_c_d_e_f_g.txt"));
}

TEST_F(FileAccess, DeviceNamesArePrefixedOnlyWhenCreating) {
  ASSERT_TRUE(writeWholeFile(path("con.txt").c_str(), "c", 1, nullptr));
  EXPECT_TRUE(exists("_con.txt"));
  ASSERT_TRUE(writeWholeFile(path("LPT1.log").c_str(), "c", 1, nullptr));
  EXPECT_TRUE(exists("_LPT1.log"));
  // Reading keeps the name: whatever con.txt is on this system (nothing, or
  // the console device on Windows), it is not the repaired file.
  int errorClass = -1;
  RecordingLog log;
  delete openFileWin32(path("con.txt").c_str(), true, false, false, false, false, true, errorClass,
                       &log);
  EXPECT_EQ(log.valueOf("filePath").find("_con"), std::string::npos)
      << ::testing::PrintToString(log.lines);
  EXPECT_TRUE(log.valueOf("modifiedFilename").empty());
  DataBuffer loaded;
  ASSERT_TRUE(loaded.loadFile(path("_con.txt").c_str(), nullptr));
  EXPECT_EQ(contentOf(loaded), "c");
}

TEST(FileNameRepair, ColonsQuestionMarksAndLineBreaks) {
  const auto repaired = [](const char* in, bool mayCreate, RecordingLog* log = nullptr) {
    XString s;
    EXPECT_TRUE(s.setFromUtf8(in));
    repairFileName(s, mayCreate, log);
    return std::string(s.getUtf8());
  };
  EXPECT_EQ(repaired("a:b.txt", true), "a:b.txt");
  EXPECT_EQ(repaired("C:\\x:y:z", true), "C:\\x_y_z");
  RecordingLog log;
  EXPECT_EQ(repaired("C:\\x:y", true, &log), "C:\\x_y");
  EXPECT_TRUE(log.has("error:The : character is not allowed in Windows filenames.."));
  EXPECT_EQ(log.valueOf("modifiedFilename"), "C:\\x_y");
  EXPECT_EQ(repaired("document:notes:x", true), "document_notes_x");
  EXPECT_EQ(repaired(":odd", true), ":odd");
  EXPECT_EQ(repaired("\\\\?\\C:\\what?.txt", true), "\\\\?\\C:\\what_.txt");
  EXPECT_EQ(repaired("two\r\nlines", true), "twolines");
  EXPECT_EQ(repaired("dir/CON.TXT", true), "dir/_CON.TXT");
  EXPECT_EQ(repaired("dir\\clock$.x", true), "dir\\_clock$.x");
  EXPECT_EQ(repaired("com9.a", true), "_com9.a");
  EXPECT_EQ(repaired("com10.a", true), "com10.a");
  EXPECT_EQ(repaired("console.txt", true), "console.txt");
  EXPECT_EQ(repaired("nul.txt", false), "nul.txt");
}

TEST_F(FileAccess, HandlesReadWriteAndMeasure) {
  const std::string name = path("rw.bin");
  int errorClass = -1;
  RozazarHandle* handle =
      openFileWin32(name.c_str(), true, true, false, false, false, true, errorClass, nullptr);
  ASSERT_NE(handle, nullptr);
  std::string big(200000, 'a');
  for (std::size_t i = 0; i < big.size(); i += 7) big[i] = static_cast<char>('0' + i % 10);
  ASSERT_TRUE(writeBytes(*handle, big.data(), static_cast<std::uint32_t>(big.size()), nullptr));
  EXPECT_EQ(fileSize(*handle, nullptr), 200000);
  RozazarHandle other;
  other.takeFrom(*handle);
  EXPECT_FALSE(handle->isOpen());
  delete handle;
  EXPECT_EQ(fileSize(other, nullptr), 200000);
  other.close();

  // Appending continues at the end.
  handle = openFileWin32(name.c_str(), false, true, false, false, true, true, errorClass, nullptr);
  ASSERT_NE(handle, nullptr);
  ASSERT_TRUE(writeBytes(*handle, "END", 3, nullptr));
  delete handle;
  handle = openFileWin32(name.c_str(), true, true, false, false, true, true, errorClass, nullptr);
  ASSERT_NE(handle, nullptr);
  ASSERT_TRUE(writeBytes(*handle, "!", 1, nullptr));
  delete handle;
  DataBuffer loaded;
  ASSERT_TRUE(loaded.loadFile(name.c_str(), nullptr));
  EXPECT_EQ(contentOf(loaded), "END!");  // write-only truncates first

  handle = openFileWin32(name.c_str(), true, false, false, false, false, true, errorClass, nullptr);
  ASSERT_NE(handle, nullptr);
  char buffer[16] = {};
  std::uint32_t got = 0;
  bool atEnd = false;
  ASSERT_TRUE(readBytes(*handle, buffer, sizeof buffer, got, atEnd, nullptr));
  EXPECT_EQ(got, 4u);
  EXPECT_TRUE(atEnd);
  RecordingLog log;
  EXPECT_FALSE(readBytes(*handle, nullptr, 4, got, atEnd, &log));
  EXPECT_TRUE(log.has("error:NULL buf pointer."));
  delete handle;

  RozazarHandle closed;
  EXPECT_FALSE(writeBytes(closed, "x", 1, &log));
  EXPECT_TRUE(log.has("error:Failed to write because file is not open."));
  EXPECT_EQ(fileSize(closed, &log), -1);
  EXPECT_TRUE(log.has("error:Failed to get file size (64)"));
}

TEST_F(FileAccess, StreamHandles) {
  std::FILE* stream = std::tmpfile();
  ASSERT_NE(stream, nullptr);
  RozazarHandle handle;
  handle.adoptStream(stream);
  ASSERT_TRUE(writeBytes(handle, "stream", 6, nullptr));
  EXPECT_EQ(fileSize(handle, nullptr), 6);
  std::rewind(stream);
  char buffer[10] = {};
  std::uint32_t got = 0;
  bool atEnd = false;
  ASSERT_TRUE(readBytes(handle, buffer, sizeof buffer, got, atEnd, nullptr));
  EXPECT_EQ(got, 6u);
  EXPECT_TRUE(atEnd);
  EXPECT_EQ(std::string(buffer, got), "stream");
}

TEST_F(FileAccess, PathsAndNames) {
  XString here;
  ASSERT_TRUE(currentDirectory(here));
  EXPECT_FALSE(here.isEmpty());
  XString relative;
  ASSERT_TRUE(relative.setFromUtf8("sub/file.txt"));
  XString absolute;
  ASSERT_TRUE(fullPath(relative, absolute));
  EXPECT_TRUE(absolute.startsWithUtf8(here.getUtf8(), false));
  EXPECT_TRUE(absolute.endsWithUtf8("file.txt", false));
  XString name;
  ASSERT_TRUE(fileNamePart(relative, name));
  EXPECT_STREQ(name.getUtf8(), "file.txt");
  XString empty;
  EXPECT_FALSE(fullPath(empty, absolute));
  EXPECT_TRUE(absolute.isEmpty());
}

}  // namespace
}  // namespace rozazar
