// The tree log's files: the debug log echo and the saved XML report.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "foundation/text/StringBuffer.h"
#include "log/TreeLogger.h"

namespace rozazar {
namespace {

namespace fs = std::filesystem;

std::uint32_t g_ticks = 0;
std::uint32_t testTicks() { return g_ticks; }

// A fresh folder of the test's own, removed afterwards.
class TreeLogFile : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_folder = fs::temp_directory_path() / (std::string("tessel-log-") + info->name());
    fs::remove_all(m_folder);
    fs::create_directories(m_folder);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(m_folder, ignored);
  }
  // The UTF-8 path of a file in the folder.
  std::string pathOf(const std::string& utf8Name) const {
    const auto u8 = (m_folder / fs::u8path(utf8Name)).u8string();
    return std::string(u8.begin(), u8.end());
  }
  static std::string contents(const std::string& utf8Path) {
    std::ifstream in(fs::u8path(utf8Path), std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
  }

  fs::path m_folder;
};

TEST_F(TreeLogFile, EveryLineButRawEntriesIsEchoedIndentedByDepth) {
  const std::string path = pathOf("debug.log");
  _ckLogger log;
  ASSERT_TRUE(log.setDebugLogFilePath(path.c_str()));
  log.enterContext("A", true);
  log.logInfo("x");
  log.logError("e");
  log.logData("k", "v");
  log.logRaw("raw is not echoed");
  log.leaveContext();
  log.debugLine("plain");
  log.debugData("name", "value");
  log.debugDataInt("n", -5);
  EXPECT_EQ(contents(path),
            "A:\n    x\n    e\n    k: v\r\n    (leaveContext)\n"
            "plain\nname: value\r\nn: -5\r\n");
  // Debug lines go to the file only.
  StringBuffer out;
  log.renderText(out);
  EXPECT_STREQ(out.text(),
               "RozazarLog:\r\n  A:\r\n    x\r\n    e\r\n    k: v\r\n"
               "    raw is not echoed\r\n  --A\r\n--RozazarLog\r\n");
}

TEST_F(TreeLogFile, TimedContextsReportTheirDurationWhenLeft) {
  const std::string path = pathOf("timed.log");
  _ckLogger log;
  log.setTimed(true);
  log.setTickSource(&testTicks);
  ASSERT_TRUE(log.setDebugLogFilePath(path.c_str()));
  g_ticks = 100;
  log.enterContext("Outer", true);
  log.enterContext("Inner", true);
  log.leaveContext();  // 0 ms
  g_ticks = 142;
  log.leaveContext();
  EXPECT_EQ(contents(path),
            "Outer:\n    Inner:\n        (leaveContext)\n    (leaveContext 42ms)\n");
}

TEST_F(TreeLogFile, TheFileIsAppendedToAndSurvivesEachLine) {
  const std::string path = pathOf("дневник.log");  // a Cyrillic file name
  {
    std::ofstream earlier(fs::u8path(path), std::ios::binary);
    earlier << "earlier\n";
  }
  _ckLogger log;
  ASSERT_TRUE(log.setDebugLogFilePath(path.c_str()));
  log.logInfo("first");
  EXPECT_EQ(contents(path), "earlier\nfirst\n");  // already on disk
  log.logInfo("second");
  EXPECT_EQ(contents(path), "earlier\nfirst\nsecond\n");
  ASSERT_TRUE(log.setDebugLogFilePath(nullptr));
  log.logInfo("not echoed");
  EXPECT_EQ(contents(path), "earlier\nfirst\nsecond\n");
}

TEST_F(TreeLogFile, AnUnopenableDebugFileIsSkippedSilently) {
  const std::string path = pathOf("missing-folder/debug.log");
  _ckLogger log;
  ASSERT_TRUE(log.setDebugLogFilePath(path.c_str()));
  EXPECT_TRUE(log.enterContext("A", true));
  EXPECT_TRUE(log.logInfo("x"));
  EXPECT_TRUE(log.leaveContext());
  EXPECT_TRUE(log.debugLine("y"));
  EXPECT_FALSE(fs::exists(fs::u8path(path)));
  StringBuffer out;
  log.renderText(out);
  EXPECT_STREQ(out.text(), "RozazarLog:\r\n  A:\r\n    x\r\n  --A\r\n--RozazarLog\r\n");
}

TEST_F(TreeLogFile, SaveXmlWritesTheXmlRendering) {
  const std::string path = pathOf("report.xml");
  _ckLogger log;
  log.enterContext("Load", true);
  log.logError("a < b");
  log.leaveContext();
  StringBuffer expected;
  log.renderXml(expected);
  ASSERT_TRUE(log.saveXml(nullptr, path.c_str()));
  EXPECT_EQ(contents(path), expected.text());

  // A second save replaces the file.
  log.clear();
  ASSERT_TRUE(log.saveXml(nullptr, path.c_str()));
  EXPECT_EQ(contents(path), "<RozazarLog>\r\n</RozazarLog>\r\n");
}

TEST_F(TreeLogFile, SaveXmlToAnUnwritablePathFailsAndSaysWhy) {
  _ckLogger log;
  EXPECT_FALSE(log.saveXml(nullptr, pathOf("missing-folder/report.xml").c_str()));
  EXPECT_FALSE(log.saveXml(nullptr, ""));
  StringBuffer out;
  log.renderText(out);
  EXPECT_TRUE(out.hasText("Failed to write complete file (7)")) << out.text();
}

}  // namespace
}  // namespace rozazar
