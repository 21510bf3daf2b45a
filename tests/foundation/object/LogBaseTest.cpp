// The log interface: the discarding log, suppression, typed values and the
// context scope guard.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/object/LogBase.h"
#include "foundation/platform/Platform.h"
#include "foundation/text/StringBuffer.h"

namespace rozazar {
namespace {

// Records what reaches the overridable slots.
class RecordingLog : public LogBase {
 public:
  bool logError(const char* text) override { return record("E " + std::string(text)); }
  bool logInfo(const char* text) override { return record("I " + std::string(text)); }
  bool enterContext(const char* name, bool timed) override {
    return record("enter " + std::string(name) + (timed ? " timed" : ""));
  }
  bool leaveContext() override { return record("leave"); }
  bool logData(const char* name, const char* value) override {
    return record(std::string(name) + "=" + value);
  }
  std::vector<std::string> lines;

 private:
  bool record(std::string line) {
    lines.push_back(std::move(line));
    return true;
  }
};

TEST(LogNull, EverySlotSucceedsAndRendersNothing) {
  LogNull log;
  LogBase& base = log;
  StringBuffer out("previous");
  base.renderXml(out);
  base.renderHtml(out);
  base.renderText(out);
  EXPECT_STREQ(out.text(), "previous");
  EXPECT_TRUE(base.saveXml(nullptr, "/nonexistent/dir/file.xml"));
  EXPECT_TRUE(base.logError("e"));
  EXPECT_TRUE(base.logInfo("i"));
  EXPECT_TRUE(base.logRaw("r"));
  EXPECT_TRUE(base.clear());
  EXPECT_TRUE(base.enterContext("c", true));
  EXPECT_TRUE(base.leaveContext());
  EXPECT_TRUE(base.leaveContext());
  EXPECT_TRUE(base.logData("n", "v"));
  EXPECT_TRUE(base.debugLine("d"));
  EXPECT_TRUE(base.debugData("n", "v"));
  EXPECT_TRUE(base.debugDataInt("n", 5));
  EXPECT_TRUE(base.logDataBool("b", true));
  EXPECT_TRUE(base.logLastWindowsError());
  EXPECT_TRUE(base.logStoredError(StoredMessage::kOutOfMemory));
}

TEST(LogBase, SuppressionStackRestoresEarlierStates) {
  LogNull log;
  log.pushSuppressed(true);
  log.pushSuppressed(false);
  EXPECT_FALSE(log.isSuppressed());
  log.popSuppressed();
  EXPECT_TRUE(log.isSuppressed());
  log.popSuppressed();
  EXPECT_FALSE(log.isSuppressed());
  log.popSuppressed();  // none saved: ignored
  EXPECT_FALSE(log.isSuppressed());

  // Beyond 64 saved values a push is ignored altogether.
  for (int i = 0; i < LogBase::kSuppressionDepth; ++i) log.pushSuppressed(i % 2 == 0);
  EXPECT_FALSE(log.isSuppressed());  // the 64th push set false
  log.pushSuppressed(true);
  EXPECT_FALSE(log.isSuppressed());
  for (int i = 0; i < LogBase::kSuppressionDepth; ++i) log.popSuppressed();
  EXPECT_FALSE(log.isSuppressed());
}

TEST(LogBase, TypedValuesGoThroughLogData) {
  RecordingLog log;
  log.logDataBool("yes", true);
  log.logDataBool("no", false);
  log.logDataInt("int", -2147483647 - 1);
  log.logDataUInt("uint", 4294967295u);
  log.logDataInt64("int64", -9000000000LL);
  StringBuffer text("buffered");
  log.logDataBuffer("buffer", text);
  log.logStoredError(StoredMessage::kOutOfMemory);
  log.logStoredInfo(StoredMessage::kOperationSucceeded);
  const std::vector<std::string> expected = {
      "yes=True",          "no=False",        "int=-2147483648",  "uint=4294967295",
      "int64=-9000000000", "buffer=buffered", "E Out of memory.", "I The operation succeeded."};
  EXPECT_EQ(log.lines, expected);
}

TEST(LogBase, SuppressedTypedOperationsWriteNothing) {
  RecordingLog log;
  log.setSuppressed(true);
  EXPECT_TRUE(log.logDataBool("b", true));
  EXPECT_TRUE(log.logDataInt("i", 1));
  EXPECT_TRUE(log.logLastWindowsError());
  EXPECT_TRUE(log.logWindowsError(5));
  EXPECT_TRUE(log.logStoredError(StoredMessage::kInternalError));
  EXPECT_TRUE(log.lines.empty());
}

TEST(LogBase, WindowsErrorsCarryTheSystemsTextAndTheCodeInHex) {
  RecordingLog log;
  StringBuffer expected;
  expected.appendSystemErrorText(5);
  EXPECT_TRUE(log.logWindowsError(5));
  EXPECT_TRUE(log.logWindowsError(0));
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_EQ(log.lines[0], std::string("WindowsError=") + expected.text());

  log.lines.clear();
  log.logLastWindowsError();
  ASSERT_EQ(log.lines.size(), 2u);
  EXPECT_EQ(log.lines[0].rfind("WindowsError=", 0), 0u);
  EXPECT_EQ(log.lines[1].rfind("WindowsErrorCode=0x", 0), 0u);
}

TEST(LogContextExitor, EntersAndLeavesOnceUnlessDisabled) {
  RecordingLog log;
  {
    LogContextExitor outer(log, "outer");
    LogContextExitor off(log, "off", false);
    LogContextExitor on(log, "on", true);
    log.logInfo("inside");
  }
  const std::vector<std::string> expected = {"enter outer timed", "enter on timed", "I inside",
                                             "leave", "leave"};
  EXPECT_EQ(log.lines, expected);
}

}  // namespace
}  // namespace rozazar
