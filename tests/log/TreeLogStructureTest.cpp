// The tree log: contexts, entries, limits, suppression and locking.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "foundation/text/StringBuffer.h"
#include "log/TreeLogger.h"

namespace rozazar {
namespace {

std::string text(_ckLogger& log) {
  StringBuffer out;
  log.renderText(out);
  return out.text();
}

int countOf(const std::string& haystack, const std::string& needle) {
  int count = 0;
  for (std::size_t at = haystack.find(needle); at != std::string::npos;
       at = haystack.find(needle, at + needle.size()))
    ++count;
  return count;
}

TEST(TreeLog, AContextWithOneLineRendersIndentedUnderTheRoot) {
  _ckLogger log;
  log.enterContext("A", true);
  log.logInfo("x");
  log.leaveContext();
  EXPECT_EQ(text(log), "RozazarLog:\r\n  A:\r\n    x\r\n  --A\r\n--RozazarLog\r\n");
}

TEST(TreeLog, EmptyContextsVanishBelowTheFirstLevelOnly) {
  _ckLogger log;
  log.enterContext("A", true);
  log.enterContext("B", true);
  log.leaveContext();
  log.leaveContext();
  log.enterContext("Empty", true);
  log.leaveContext();
  EXPECT_EQ(text(log), "RozazarLog:\r\n  A:\r\n  --A\r\n  Empty:\r\n  --Empty\r\n--RozazarLog\r\n");

  // A context with entries stays, at any depth.
  _ckLogger kept;
  kept.enterContext("A", true);
  kept.enterContext("B", true);
  kept.logError("failed");
  kept.leaveContext();
  kept.leaveContext();
  EXPECT_EQ(
      text(kept),
      "RozazarLog:\r\n  A:\r\n    B:\r\n      failed\r\n    --B\r\n  --A\r\n--RozazarLog\r\n");
}

TEST(TreeLog, LeavingWithOnlyTheRootOpenDoesNothing) {
  _ckLogger log;
  EXPECT_TRUE(log.leaveContext());
  log.logInfo("still at the root");
  EXPECT_EQ(text(log), "RozazarLog:\r\n  still at the root\r\n--RozazarLog\r\n");
}

TEST(TreeLog, NamesOfValuesAreTrimmedAndTheirSpacesReplaced) {
  _ckLogger log;
  EXPECT_TRUE(log.logData(" file name\t", "c:\\x.json"));
  EXPECT_FALSE(log.logData("   ", "lost"));
  EXPECT_FALSE(log.logData(nullptr, "lost"));
  EXPECT_TRUE(log.logData("missing", nullptr));
  EXPECT_TRUE(log.logDataInt("count", 7));
  EXPECT_EQ(text(log),
            "RozazarLog:\r\n  file_name: c:\\x.json\r\n  missing: (NULL)\r\n  count: 7\r\n"
            "--RozazarLog\r\n");
}

TEST(TreeLog, SuppressedLogsAddNothingAndSucceed) {
  _ckLogger log;
  log.setSuppressed(true);
  EXPECT_TRUE(log.enterContext("A", true));
  EXPECT_TRUE(log.logError("e"));
  EXPECT_TRUE(log.logInfo("i"));
  EXPECT_TRUE(log.logRaw("r"));
  EXPECT_TRUE(log.logData("n", "v"));
  EXPECT_TRUE(log.logData("   ", "v"));
  EXPECT_TRUE(log.logDataBool("b", true));
  EXPECT_TRUE(log.leaveContext());
  log.setSuppressed(false);
  EXPECT_EQ(text(log), "RozazarLog:\r\n--RozazarLog\r\n");
}

TEST(TreeLog, TheTenThousandAndFirstEntryOfAContextIsDropped) {
  _ckLogger log;
  log.enterContext("loop", true);
  for (int i = 0; i < 10001; ++i) EXPECT_TRUE(log.logInfo(i == 10000 ? "dropped" : "kept"));
  log.leaveContext();
  const std::string rendered = text(log);
  EXPECT_EQ(countOf(rendered, "kept"), 10000);
  EXPECT_EQ(countOf(rendered, "dropped"), 0);
}

TEST(TreeLog, AContextRefusedByAFullParentDoesNotUnbalanceTheTree) {
  _ckLogger log;
  log.enterContext("full", true);
  for (int i = 0; i < 10000; ++i) log.logInfo("x");
  log.enterContext("refused", true);
  log.logInfo("inside refused");
  log.leaveContext();  // leaves "refused", not "full"
  log.leaveContext();  // leaves "full"
  log.logInfo("back at the root");
  const std::string rendered = text(log);
  EXPECT_EQ(countOf(rendered, "refused"), 0);
  EXPECT_NE(rendered.find("  --full\r\n  back at the root\r\n--RozazarLog"), std::string::npos);
}

TEST(TreeLog, NestingBeyondTheLimitIsNotRecordedButStaysBalanced) {
  _ckLogger log;
  const int depth = _ckLogger::kMaxOpenContexts + 100;
  for (int i = 0; i < depth; ++i) {
    log.enterContext("level", true);
    log.logInfo("entry");
  }
  for (int i = 0; i < depth; ++i) log.leaveContext();
  log.logInfo("root again");
  const std::string rendered = text(log);
  EXPECT_EQ(countOf(rendered, "entry"), _ckLogger::kMaxOpenContexts - 1);
  EXPECT_NE(rendered.find("\r\n  root again\r\n--RozazarLog\r\n"), std::string::npos);
}

TEST(TreeLog, ClearStartsANewRootNamedAfterTheLog) {
  _ckLogger log;
  log.enterContext("A", true);
  log.logInfo("x");
  ASSERT_TRUE(log.setLogName("JsonLog"));
  ASSERT_TRUE(log.clear());
  log.logInfo("after");
  EXPECT_EQ(text(log), "JsonLog:\r\n  after\r\n--JsonLog\r\n");
  log.leaveContext();  // the old context is gone with the old tree
  log.logInfo("still root");
  EXPECT_EQ(text(log), "JsonLog:\r\n  after\r\n  still root\r\n--JsonLog\r\n");
}

TEST(TreeLog, ContextExitorClosesItsContextOnEveryWayOut) {
  _ckLogger log;
  auto operation = [&log](bool failEarly) {
    LogContextExitor context(log, "operation");
    if (failEarly) {
      log.logError("early failure");
      return false;
    }
    log.logInfo("done");
    return true;
  };
  operation(true);
  operation(false);
  log.logInfo("root");
  EXPECT_EQ(text(log),
            "RozazarLog:\r\n  operation:\r\n    early failure\r\n  --operation\r\n"
            "  operation:\r\n    done\r\n  --operation\r\n  root\r\n--RozazarLog\r\n");
}

TEST(TreeLog, ThreadsWritingAtOnceLoseNothing) {
  _ckLogger log;
  auto writer = [&log](const char* line) {
    for (int i = 0; i < 2000; ++i) log.logInfo(line);
  };
  std::thread first(writer, "first");
  std::thread second(writer, "second");
  first.join();
  second.join();
  const std::string rendered = text(log);
  EXPECT_EQ(countOf(rendered, "first"), 2000);
  EXPECT_EQ(countOf(rendered, "second"), 2000);
}

}  // namespace
}  // namespace rozazar
