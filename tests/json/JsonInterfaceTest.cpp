#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "foundation/platform/SystemCalls.h"
#include "foundation/text/XString.h"
#include "json/DaDureRarireZ.h"
#include "json/internal/ClsJsonObject.h"
#include "tests/foundation/TestObjects.h"
#include "tests/foundation/file/FileTestSupport.h"
#include "tests/json/JsonTestSupport.h"

namespace rozazar::testing {
namespace {

std::string emitted(DaDureRarireZ& json) { return narrow(json.Emit()); }

bool load(DaDureRarireZ& json, const std::string& text) { return json.Load(wide(text).c_str()); }

TEST(JsonInterface, FreshInterfaceIsEmpty) {
  DaDureRarireZ json;
  EXPECT_EQ(json.MemberCount(), 0);
  EXPECT_EQ(emitted(json), "{}");
  EXPECT_EQ(json.MemberCount(), 0);
}

TEST(JsonInterface, LoadOfEmptyOrBracelessTextSucceedsEmpty) {
  DaDureRarireZ json;
  EXPECT_TRUE(load(json, ""));
  EXPECT_EQ(json.MemberCount(), 0);
  EXPECT_TRUE(json.Load(nullptr));
  EXPECT_TRUE(load(json, "no-such-file-or-json.txt"));
  EXPECT_EQ(json.MemberCount(), 0);
  EXPECT_EQ(emitted(json), "{}");
}

TEST(JsonInterface, TheConsolesRoad) {
  DaDureRarireZ json;
  ASSERT_TRUE(load(json, "  "));
  ASSERT_EQ(json.MemberCount(), 0);
  ASSERT_TRUE(json.UpdateString(wide("SignFile").c_str(), wide("c:\\x.pdf").c_str()));
  ASSERT_TRUE(json.UpdateInt(wide("SignMode").c_str(), 1));
  EXPECT_EQ(json.MemberCount(), 2);
  EXPECT_EQ(emitted(json), "{\"SignFile\":\"c:\\\\x.pdf\",\"SignMode\":1}");
}

TEST(JsonInterface, UpdatesOnAnEmptyInterfaceCreateTheDocument) {
  DaDureRarireZ json;
  EXPECT_TRUE(json.UpdateInt(wide("n").c_str(), -5));
  EXPECT_TRUE(json.UpdateString(wide("s").c_str(), nullptr));
  EXPECT_FALSE(json.UpdateString(nullptr, wide("x").c_str()));
  EXPECT_FALSE(json.UpdateInt(nullptr, 1));
  EXPECT_FALSE(json.UpdateString(wide("a]").c_str(), wide("x").c_str()));
  EXPECT_EQ(emitted(json), "{\"n\":-5,\"s\":\"\",\"a\":{}}");
}

TEST(JsonInterface, SecondLoadReplacesAllMembersAndKeepsWorking) {
  DaDureRarireZ json;
  ASSERT_TRUE(load(json, "{\"a\":1,\"b\":\"a long string value here\"}"));
  EXPECT_EQ(json.MemberCount(), 2);
  ASSERT_TRUE(load(json, "{\"c\":[1,2],\"d\":\"another quite long text\"}"));
  EXPECT_EQ(json.MemberCount(), 2);
  EXPECT_EQ(emitted(json), "{\"c\":[1,2],\"d\":\"another quite long text\"}");
  ASSERT_TRUE(json.UpdateString(wide("c[5]").c_str(), wide("x").c_str()));
  ASSERT_TRUE(load(json, "{}"));
  EXPECT_EQ(json.MemberCount(), 0);
  EXPECT_EQ(emitted(json), "{}");
}

TEST(JsonInterface, WideTextIsConvertedBothWays) {
  DaDureRarireZ json;
  const WideChar text[] = {'{', '"', 'k', '"', ':', '"', 0xE9, 0xD83D, 0xDE00, '"', '}', 0};
  ASSERT_TRUE(json.Load(text));
  const WideChar* out = json.Emit();
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(std::basic_string<WideChar>(out), std::basic_string<WideChar>(text));
  const WideChar name[] = {0x416, 0};
  const WideChar value[] = {'"', 0x416, '\t', 0};
  ASSERT_TRUE(json.UpdateString(name, value));
  XString expected;
  expected.setFromUtf8("{\"k\":\"\xc3\xa9\xf0\x9f\x98\x80\",\"\xd0\x96\":\"\\\"\xd0\x96\\t\"}");
  const char16_t* units = expected.getUtf16();
  std::basic_string<WideChar> wanted;
  for (; *units != 0; ++units) wanted += static_cast<WideChar>(*units);
  EXPECT_EQ(std::basic_string<WideChar>(json.Emit()), wanted);
}

TEST(JsonInterface, ElevenEmitsShareTheFirstSlot) {
  DaDureRarireZ json;
  const WideChar* first = nullptr;
  // Texts of one length, so that reusing a slot needs no new storage.
  for (int i = 1; i <= 11; ++i) {
    ASSERT_TRUE(json.UpdateInt(wide("n").c_str(), 10 + i));
    const WideChar* result = json.Emit();
    ASSERT_NE(result, nullptr);
    if (i == 1) first = result;
    if (i == 2) {
      EXPECT_EQ(narrow(first), "{\"n\":11}");
    }
    if (i == 10) {
      EXPECT_NE(result, first);
    }
    if (i == 11) {
      EXPECT_EQ(result, first);
    }
  }
  EXPECT_EQ(narrow(first), "{\"n\":21}");
}

TEST(JsonInterface, LongTextsWithoutBraceAreNeverPaths) {
  DaDureRarireZ json;
  const std::string text(512, 'x');
  EXPECT_TRUE(load(json, text));
  EXPECT_EQ(json.MemberCount(), 0);
}

std::uint32_t injectedAttributesError = 0;

bool failingAttributes(const char16_t*, std::uint32_t&, std::uint32_t& error) noexcept {
  error = injectedAttributesError;
  return false;
}

// Texts that can't be file names load as text, like a short one: a name too
// long for the file system, and names the system calls invalid (injected:
// POSIX systems take nearly any byte in a name).
TEST(JsonInterface, BracelessTextsThatCannotNameAFileLoadEmpty) {
  DaDureRarireZ json;
  ASSERT_TRUE(load(json, "{\"a\":1}"));
  EXPECT_TRUE(load(json, std::string(300, 'x')));
  EXPECT_EQ(json.MemberCount(), 0);
  platform::SystemCallsRestorer restorer;
  platform::systemCalls().attributes = &failingAttributes;
  for (const std::uint32_t error : {123u, 161u, 206u}) {
    injectedAttributesError = error;
    ASSERT_TRUE(load(json, "{\"a\":1}"));
    EXPECT_TRUE(load(json, "a<b>|c?*")) << error;
    EXPECT_EQ(json.MemberCount(), 0) << error;
  }
}

class JsonInterfaceFiles : public ScratchFolder {};

TEST_F(JsonInterfaceFiles, ShortTextNamingAFileLoadsTheFile) {
  const std::string file = path("params.json");
  std::ofstream(file, std::ios::binary) << "{\"a\":\"from file\",\"b\":2}";
  DaDureRarireZ json;
  ASSERT_TRUE(load(json, file));
  EXPECT_EQ(json.MemberCount(), 2);
  EXPECT_EQ(emitted(json), "{\"a\":\"from file\",\"b\":2}");
}

TEST_F(JsonInterfaceFiles, PathsWithBraceOrOf512BytesAreParsedAsText) {
  const std::string file = path("{brace}.json");
  std::ofstream(file, std::ios::binary) << "{\"a\":1}";
  DaDureRarireZ json;
  ASSERT_TRUE(load(json, file));
  EXPECT_EQ(json.MemberCount(), 0);
}

TEST_F(JsonInterfaceFiles, UnreadableFileFailsAndEmptiesTheInterface) {
  DaDureRarireZ json;
  ASSERT_TRUE(load(json, "{\"a\":1}"));
  // A folder exists but can't be read as a file.
  EXPECT_FALSE(load(json, m_folder.u8string()));
  EXPECT_EQ(json.MemberCount(), 0);
  EXPECT_EQ(emitted(json), "{}");
}

TEST(JsonImplementation, LogShowsContextVersionAndResult) {
  ClsJsonObject* impl = ClsJsonObject::createNew();
  ASSERT_NE(impl, nullptr);
  XString text;
  text.setFromUtf8("{\"a\":1}");
  ASSERT_TRUE(impl->Load(text));
  StringBuffer rendered;
  impl->log().renderText(rendered);
  EXPECT_TRUE(rendered.hasText("Load")) << rendered.text();
  EXPECT_TRUE(rendered.hasText(kJsonEngineVersion)) << rendered.text();
  EXPECT_TRUE(rendered.hasText("Success.")) << rendered.text();

  XString path;
  path.setFromUtf8("a.b");
  EXPECT_FALSE(impl->UpdateString(path, text));
  impl->log().renderText(rendered);
  EXPECT_TRUE(rendered.hasText("UpdateString")) << rendered.text();
  EXPECT_TRUE(rendered.hasText("Value expected to be an object.")) << rendered.text();
  // The log is fresh for each call, and updates write no result line.
  EXPECT_FALSE(rendered.hasText("Success.")) << rendered.text();

  XString out;
  EXPECT_TRUE(impl->toText(out));
  EXPECT_STREQ(out.getUtf8(), "{\"a\":1}");
  impl->release();
}

TEST(JsonImplementation, LoadThatRunsOutOfMemoryLeavesTheInterfaceEmpty) {
  ClsJsonObject* impl = ClsJsonObject::createNew();
  XString text;
  text.setFromUtf8("{\"a\":1,\"b\":[1,2,3]}");
  ASSERT_TRUE(impl->Load(text));
  {
    AllocationRefusal refuse(sizeof(_ckJsonMember));
    EXPECT_FALSE(impl->Load(text));
  }
  EXPECT_EQ(impl->memberCount(), 0);
  XString out;
  EXPECT_TRUE(impl->Emit(out));
  EXPECT_STREQ(out.getUtf8(), "{}");
  impl->release();
}

TEST(JsonImplementation, EmitFailureShowsAsEmptyText) {
  ClsJsonObject* impl = ClsJsonObject::createNew();
  XString text;
  text.setFromUtf8("{\"a\":\"a long string value that is long\"}");
  ASSERT_TRUE(impl->Load(text));
  XString out;
  {
    AllocationRefusal refuse(1);
    EXPECT_TRUE(impl->Emit(out));
  }
  EXPECT_TRUE(out.isEmpty());
  impl->release();
}

TEST(JsonInterface, DeepDocumentLoadsEmitsUpdatesAndIsDestroyed) {
  std::string text;
  const int depth = 1000000;
  for (int i = 0; i < depth / 2; ++i) text += "{\"a\":[";
  for (int i = 0; i < depth / 2; ++i) text += "]}";
  {
    DaDureRarireZ json;
    ASSERT_TRUE(load(json, text));
    ASSERT_TRUE(json.UpdateInt(wide("z").c_str(), 3));
    std::string expected = text;
    expected.insert(expected.size() - 1, ",\"z\":3");
    EXPECT_EQ(emitted(json), expected);
  }
  SUCCEED();
}

}  // namespace
}  // namespace rozazar::testing
