// File access with system calls that fail on purpose: the table of the
// platform seam is replaced for the length of each test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/containers/DataBuffer.h"
#include "foundation/file/FileAccess.h"
#include "foundation/platform/SystemCalls.h"
#include "tests/foundation/RecordingLog.h"
#include "tests/foundation/file/FileTestSupport.h"

namespace rozazar {
namespace {

using platform::FileHandle;
using platform::nativeSystemCalls;
using platform::systemCalls;
using testing::RecordingLog;

constexpr std::uint32_t kAccessDenied = 5;
constexpr std::uint32_t kSharingViolation = 32;
constexpr std::uint32_t kCrcError = 23;
constexpr std::uint32_t kDiskFull = 112;

// What the replaced calls saw and what they are to do; reset by each test.
struct Injected {
  int opens = 0;
  int failingOpens = 0;   // opens that fail with a sharing violation first
  bool readOnly = false;  // the file refuses writing until the attribute goes
  std::vector<std::uint32_t> sleeps;
  std::vector<std::uint32_t> attributesSet;
};
Injected injected;

FileHandle openWithSharingViolations(const char16_t* path, std::uint32_t access, bool share,
                                     platform::FileDisposition disposition, bool hidden,
                                     std::uint32_t& error) noexcept {
  if (++injected.opens <= injected.failingOpens) {
    error = kSharingViolation;
    return platform::kNoFile;
  }
  return nativeSystemCalls().open(path, access, share, disposition, hidden, error);
}

FileHandle openReadOnlyFile(const char16_t* path, std::uint32_t access, bool share,
                            platform::FileDisposition disposition, bool hidden,
                            std::uint32_t& error) noexcept {
  ++injected.opens;
  if (injected.readOnly && (access & platform::kFileWrite) != 0) {
    error = kAccessDenied;
    return platform::kNoFile;
  }
  return nativeSystemCalls().open(path, access, share, disposition, hidden, error);
}

bool readOnlyAttributes(const char16_t* path, std::uint32_t& attributes,
                        std::uint32_t& error) noexcept {
  if (!nativeSystemCalls().attributes(path, attributes, error)) return false;
  if (injected.readOnly) attributes |= platform::kAttributeReadOnly;
  return true;
}

bool recordAttributes(const char16_t*, std::uint32_t attributes, std::uint32_t&) noexcept {
  injected.attributesSet.push_back(attributes);
  if ((attributes & platform::kAttributeReadOnly) == 0) injected.readOnly = false;
  return true;
}

bool refuseAttributes(const char16_t*, std::uint32_t, std::uint32_t& error) noexcept {
  error = kAccessDenied;
  return false;
}

void recordSleep(std::uint32_t milliseconds) noexcept { injected.sleeps.push_back(milliseconds); }

bool failRead(FileHandle, void*, std::uint32_t, std::uint32_t& bytesRead,
              std::uint32_t& error) noexcept {
  bytesRead = 0;
  error = kCrcError;
  return false;
}

bool failWrite(FileHandle, const void*, std::uint32_t, std::uint32_t& written,
               std::uint32_t& error) noexcept {
  written = 0;
  error = kDiskFull;
  return false;
}

bool writeHalf(FileHandle file, const void* data, std::uint32_t n, std::uint32_t& written,
               std::uint32_t& error) noexcept {
  return nativeSystemCalls().write(file, data, n / 2, written, error);
}

class FileFailure : public testing::ScratchFolder {
 protected:
  void SetUp() override {
    ScratchFolder::SetUp();
    injected = Injected();
    systemCalls().sleep = &recordSleep;
  }
  platform::SystemCallsRestorer m_restorer;
};

TEST_F(FileFailure, SharingViolationsAreRetriedThreeTimesFiftyMillisecondsApart) {
  const std::string name = path("shared.txt");
  ASSERT_TRUE(writeWholeFile(name.c_str(), "s", 1, nullptr));
  systemCalls().open = &openWithSharingViolations;
  injected.failingOpens = 1000;
  RecordingLog log;
  int errorClass = -1;
  EXPECT_EQ(openFileWin32(name.c_str(), true, false, false, false, false, true, errorClass, &log),
            nullptr);
  EXPECT_EQ(errorClass, kFileAccessDenied);
  EXPECT_EQ(log.valueOf("windowsError"), "32");
  EXPECT_EQ(injected.opens, 4);
  EXPECT_EQ(injected.sleeps, (std::vector<std::uint32_t>{50, 50, 50}));

  // Released while the opener waits: the retry succeeds.
  injected = Injected();
  injected.failingOpens = 2;
  RozazarHandle* second =
      openFileWin32(name.c_str(), true, false, false, false, false, true, errorClass, nullptr);
  EXPECT_NE(second, nullptr);
  EXPECT_EQ(errorClass, kFileOpenSucceeded);
  EXPECT_EQ(injected.sleeps, (std::vector<std::uint32_t>{50, 50}));
  delete second;
}

TEST_F(FileFailure, WritingAReadOnlyFileClearsTheAttribute) {
  const std::string name = path("locked.txt");
  ASSERT_TRUE(writeWholeFile(name.c_str(), "old", 3, nullptr));
  systemCalls().open = &openReadOnlyFile;
  systemCalls().attributes = &readOnlyAttributes;
  systemCalls().setAttributes = &recordAttributes;
  injected.readOnly = true;

  ASSERT_TRUE(writeWholeFile(name.c_str(), "new", 3, nullptr));
  ASSERT_EQ(injected.attributesSet.size(), 1u);
  EXPECT_EQ(injected.attributesSet[0] & platform::kAttributeReadOnly, 0u);
  EXPECT_EQ(injected.opens, 2);
  DataBuffer loaded;
  ASSERT_TRUE(loaded.loadFile(name.c_str(), nullptr));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(loaded.data()), loaded.size()), "new");
}

TEST_F(FileFailure, AReadOnlyFileWhoseAttributeStaysIsRefused) {
  const std::string name = path("locked.txt");
  ASSERT_TRUE(writeWholeFile(name.c_str(), "old", 3, nullptr));
  systemCalls().open = &openReadOnlyFile;
  systemCalls().attributes = &readOnlyAttributes;
  systemCalls().setAttributes = &refuseAttributes;
  injected.readOnly = true;

  RecordingLog log;
  int errorClass = -1;
  EXPECT_EQ(openFileWin32(name.c_str(), false, true, false, false, false, true, errorClass, &log),
            nullptr);
  EXPECT_EQ(errorClass, kFileAccessDenied);
  EXPECT_EQ(log.valueOf("windowsError"), "5");
  EXPECT_EQ(injected.opens, 1);
}

TEST_F(FileFailure, AReadErrorFailsTheLoadAndNamesThePath) {
  const std::string name = path("data.bin");
  ASSERT_TRUE(writeWholeFile(name.c_str(), "content", 7, nullptr));
  systemCalls().read = &failRead;
  RecordingLog log;
  DataBuffer loaded;
  EXPECT_FALSE(loaded.loadFile(name.c_str(), &log));
  EXPECT_FALSE(log.valueOf("WindowsError").empty());
  EXPECT_EQ(log.valueOf("path"), name);
}

TEST_F(FileFailure, WriteErrorsAndShortWritesFailTheWrite) {
  const std::string name = path("out.bin");
  systemCalls().write = &failWrite;
  RecordingLog failed;
  EXPECT_FALSE(writeWholeFile(name.c_str(), "content", 7, &failed));
  EXPECT_EQ(failed.valueOf("WindowsErrorCode"), "112");

  // A write that takes fewer bytes than offered means the disk is full.
  systemCalls().write = &writeHalf;
  RecordingLog shortWrite;
  EXPECT_FALSE(writeWholeFile(name.c_str(), "content", 7, &shortWrite));
  EXPECT_EQ(shortWrite.valueOf("WindowsErrorCode"), "112");
}

}  // namespace
}  // namespace rozazar
