// The tree log's renderings: timed contexts, XML with CDATA, HTML.
#include <gtest/gtest.h>

#include <string>

#include "foundation/text/StringBuffer.h"
#include "log/TreeLogger.h"

namespace rozazar {
namespace {

// A clock the test moves by hand.
std::uint32_t g_ticks = 0;
std::uint32_t testTicks() { return g_ticks; }

std::string xml(_ckLogger& log) {
  StringBuffer out("stale");
  log.renderXml(out);
  return out.text();
}

std::string html(_ckLogger& log) {
  StringBuffer out("stale");
  log.renderHtml(out);
  return out.text();
}

std::string text(_ckLogger& log) {
  StringBuffer out("stale");
  log.renderText(out);
  return out.text();
}

// A timed context A that lasts ms milliseconds, holding one entry.
void timedContext(_ckLogger& log, std::uint32_t ms) {
  log.setTimed(true);
  log.setTickSource(&testTicks);
  g_ticks = 1000;
  log.enterContext("A", true);
  log.logInfo("work");
  g_ticks += ms;
  log.leaveContext();
}

TEST(TreeLogTiming, ATimedContextShowsItsDurationInEveryRendering) {
  _ckLogger log;
  timedContext(log, 15);
  EXPECT_EQ(text(log), "RozazarLog:\r\n  A(15ms):\r\n    work\r\n  --A\r\n--RozazarLog\r\n");
  EXPECT_EQ(xml(log),
            "<RozazarLog>\r\n  <A ms=\"15\">\r\n    <info>work</info>\r\n  </A>\r\n"
            "</RozazarLog>\r\n");
  EXPECT_EQ(html(log),
            "RozazarLog:<blockquote>\r\nA(15ms):<blockquote>\r\nwork<br>\r\n</blockquote>\r\n"
            "</blockquote>\r\n");
}

TEST(TreeLogTiming, ZeroDurationsBackwardClocksAndUntimedLogsShowNone) {
  _ckLogger instant;
  timedContext(instant, 0);
  EXPECT_EQ(text(instant), "RozazarLog:\r\n  A:\r\n    work\r\n  --A\r\n--RozazarLog\r\n");

  _ckLogger backwards;
  backwards.setTimed(true);
  backwards.setTickSource(&testTicks);
  g_ticks = 5000;
  backwards.enterContext("B", true);
  backwards.logInfo("w");
  g_ticks = 10;
  backwards.leaveContext();
  EXPECT_EQ(text(backwards), "RozazarLog:\r\n  B:\r\n    w\r\n  --B\r\n--RozazarLog\r\n");

  _ckLogger untimed;
  untimed.setTickSource(&testTicks);
  g_ticks = 100;
  untimed.enterContext("C", true);
  untimed.logInfo("w");
  g_ticks = 900;
  untimed.leaveContext();
  EXPECT_EQ(xml(untimed),
            "<RozazarLog>\r\n  <C>\r\n    <info>w</info>\r\n  </C>\r\n</RozazarLog>\r\n");
}

TEST(TreeLogTiming, AContextStillOpenShowsNoDuration) {
  _ckLogger log;
  log.setTimed(true);
  log.setTickSource(&testTicks);
  g_ticks = 123456;
  log.enterContext("open", true);
  log.logInfo("w");
  EXPECT_EQ(xml(log),
            "<RozazarLog>\r\n  <open>\r\n    <info>w</info>\r\n  </open>\r\n</RozazarLog>\r\n");
}

TEST(TreeLogXml, EveryKindOfEntry) {
  _ckLogger log;
  log.enterContext("Load", true);
  log.logError("failed");
  log.logInfo("note");
  log.logData("path", "a.json");
  log.logRaw("<raw attr=\"1\"/>");
  log.leaveContext();
  EXPECT_EQ(xml(log),
            "<RozazarLog>\r\n  <Load>\r\n    <error>failed</error>\r\n    <info>note</info>\r\n"
            "    <path>a.json</path>\r\n    <raw attr=\"1\"/>\r\n  </Load>\r\n</RozazarLog>\r\n");
}

TEST(TreeLogXml, MarkupCharactersGoIntoCdataSections) {
  _ckLogger log;
  log.logInfo("a < b");
  log.logData("v", "line\nbreak");
  log.logError("x & y");
  log.logInfo("tab\there");
  log.logInfo("quote \" is fine");
  EXPECT_EQ(xml(log),
            "<RozazarLog>\r\n  <info><![CDATA[a < b]]></info>\r\n"
            "  <v><![CDATA[line\nbreak]]></v>\r\n  <error><![CDATA[x & y]]></error>\r\n"
            "  <info><![CDATA[tab\there]]></info>\r\n  <info>quote \" is fine</info>\r\n"
            "</RozazarLog>\r\n");
}

TEST(TreeLogXml, ACdataEndInsideTheTextCannotEndTheSection) {
  _ckLogger log;
  log.logInfo("x ]]> <y>");
  EXPECT_EQ(xml(log),
            "<RozazarLog>\r\n  <info><![CDATA[x ]]]]><![CDATA[> <y>]]></info>\r\n"
            "</RozazarLog>\r\n");
  // Text that is already wrapped is written as it is.
  _ckLogger prepared;
  prepared.logInfo("<![CDATA[<b>]]>");
  EXPECT_EQ(xml(prepared), "<RozazarLog>\r\n  <info><![CDATA[<b>]]></info>\r\n</RozazarLog>\r\n");
}

TEST(TreeLogHtml, TextsAndValuesAreEscaped) {
  _ckLogger log;
  log.enterContext("Parse", true);
  log.logInfo("a < b & c");
  log.logData("quote", "\"q\"");
  log.leaveContext();
  EXPECT_EQ(html(log),
            "RozazarLog:<blockquote>\r\nParse:<blockquote>\r\na &lt; b &amp; c<br>\r\n"
            "quote: &quot;q&quot;<br>\r\n</blockquote>\r\n</blockquote>\r\n");
}

TEST(TreeLogRender, AnUnusedLogRendersItsRoot) {
  _ckLogger log;
  EXPECT_EQ(text(log), "RozazarLog:\r\n--RozazarLog\r\n");
  EXPECT_EQ(xml(log), "<RozazarLog>\r\n</RozazarLog>\r\n");
  EXPECT_EQ(html(log), "RozazarLog:<blockquote>\r\n</blockquote>\r\n");
}

}  // namespace
}  // namespace rozazar
