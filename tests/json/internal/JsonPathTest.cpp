#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/object/RefCountedObject.h"
#include "json/internal/JsonPath.h"
#include "tests/json/JsonTestSupport.h"

namespace rozazar::testing {
namespace {

using Lines = std::vector<std::string>;

// A document with a weak reference to its top object, as the interface
// object holds it.
class PathFixture : public ::testing::Test {
 protected:
  void load(const std::string& text) {
    releaseTop();
    doc = parseInPlace(text);
    top = _ckWeakPtr::create(doc->topObject());
  }
  void SetUp() override { load(""); }
  void TearDown() override { releaseTop(); }
  void releaseTop() {
    if (top != nullptr) top->release();
    top = nullptr;
  }

  bool update(const char* path, const char* text, bool quoted = true) {
    log.lines.clear();
    return setPathValue(top, path, text, true, quoted, settings, log);
  }
  _ckJsonBase* find(const char* path, int mode = kPathFind) {
    log.lines.clear();
    JsonPathOptions options = settings;
    options.mode = mode;
    return resolveObjectPath(doc->topObject(), path, options, log);
  }
  std::string text() { return emitText(*doc->topObject()); }

  DocPtr doc;
  _ckWeakPtr* top = nullptr;
  JsonPathOptions settings;
  RecordingLog log;
};

TEST_F(PathFixture, WorkedExample) {
  ASSERT_TRUE(update("SignFile", "c:\\x.pdf"));
  EXPECT_EQ(text(), "{\"SignFile\":\"c:\\\\x.pdf\"}");
  ASSERT_TRUE(update("SignMode", "1", false));
  EXPECT_EQ(text(), "{\"SignFile\":\"c:\\\\x.pdf\",\"SignMode\":1}");

  load("");
  ASSERT_TRUE(update("a.b[0].c", "v"));
  EXPECT_EQ(text(), "{\"a\":{\"b\":[{\"c\":\"v\"}]}}");
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(PathFixture, NameFormsThatNameTheSameMember) {
  load("{\"SignFile\":1,\"a b\":2,\"a.b\":3,\"a\":{\"b\":4}}");
  _ckJsonBase* plain = find("SignFile");
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(find(".SignFile"), plain);
  EXPECT_EQ(find("  SignFile"), plain);
  EXPECT_EQ(find("\"SignFile\""), plain);
  ASSERT_TRUE(update("a b", "x"));
  ASSERT_TRUE(update("\"a.b\"", "y"));
  ASSERT_TRUE(update("a.b", "z"));
  EXPECT_EQ(text(), "{\"SignFile\":1,\"a b\":\"x\",\"a.b\":\"y\",\"a\":{\"b\":\"z\"}}");

  // Of two members with one name, the first is found.
  load("{\"d\":1,\"d\":2}");
  ASSERT_TRUE(update("d", "first"));
  EXPECT_EQ(text(), "{\"d\":\"first\",\"d\":2}");
}

TEST_F(PathFixture, NamesAreComparedInTheirEscapedForm) {
  load("{\"q\\\"x\":1}");
  EXPECT_NE(find("\"q\\\"x\""), nullptr);
  EXPECT_EQ(find("Q\\\"x"), nullptr);
  EXPECT_EQ(log.lines,
            (Lines{"E:JSON member not found.", "D:memberName=Q\\\"x", "D:jsonPath2=Q\\\"x"}));
}

TEST_F(PathFixture, CreatedNamesAreEscapedAndReadBackAsOneMember) {
  const char* const paths[] = {"a\":1,\"injected", "tail\\", "c\x01\\q", "\"kept\\\"\\u00e9\""};
  for (const char* path : paths) ASSERT_TRUE(update(path, "v")) << path;
  const std::string emitted =
      "{\"a\\\":1,\\\"injected\":\"v\",\"tail\\\\\":\"v\",\"c\\u0001\\\\q\":\"v\","
      "\"kept\\\"\\u00e9\":\"v\"}";
  EXPECT_EQ(text(), emitted);
  // The same paths find what they created, before and after a round trip.
  for (const char* path : paths) ASSERT_TRUE(update(path, "w")) << path;
  load(emitted);
  ASSERT_EQ(doc->topObject()->memberCount(), 4);
  for (const char* path : paths) ASSERT_TRUE(update(path, "v")) << path;
  EXPECT_EQ(text(), emitted);
  const char* name = nullptr;
  std::uint32_t length = 0;
  ASSERT_TRUE(doc->topObject()->memberAt(0)->readName(name, length));
  StringBuffer decoded;
  ASSERT_TRUE(StringBuffer::jsonUnescapeAppend(name, length, decoded));
  EXPECT_STREQ(decoded.text(), "a\":1,\"injected");
}

TEST_F(PathFixture, ModesDecideWhatAnObjectMemberGives) {
  load("{\"o\":{\"x\":1},\"s\":2}");
  _ckJsonBase* asObject = find("o");
  _ckJsonBase* asValue = find("o", kPathFindValue);
  ASSERT_NE(asObject, nullptr);
  ASSERT_NE(asValue, nullptr);
  EXPECT_EQ(asObject->nodeKind(), kNodeObject);
  EXPECT_EQ(asValue->nodeKind(), kNodeValue);
  EXPECT_EQ(find("o", kPathRemove), nullptr);
  EXPECT_EQ(text(), "{\"s\":2}");
}

TEST_F(PathFixture, AppendIndexesAndAutoCreateWithoutGaps) {
  load("{\"a\":[1,2]}");
  ASSERT_TRUE(update("a[*]", "x"));
  ASSERT_TRUE(update("a[]", "y"));
  ASSERT_TRUE(update("a[-1]", "z"));
  ASSERT_TRUE(update("a[7]", "w"));
  EXPECT_EQ(text(), "{\"a\":[1,2,\"x\",\"y\",\"z\",\"w\"]}");
  ASSERT_TRUE(update("a[ 1]", "second"));
  EXPECT_EQ(text(), "{\"a\":[1,\"second\",\"x\",\"y\",\"z\",\"w\"]}");

  for (const char* path : {"a[*]", "a[]", "a[-1]", "a[99]"}) {
    EXPECT_EQ(find(path), nullptr);
    ASSERT_EQ(log.lines.size(), 3u) << path;
    EXPECT_EQ(log.lines[0], "E:JSON array index out-of-bounds");
    EXPECT_EQ(log.lines[2], std::string("D:jsonPath=") + (path + 1));
  }
  EXPECT_EQ(log.lines[1], "D:index=99");

  // Indices beyond 32 or 64 bits append too, and never wrap onto an item.
  load("{\"a\":[1,2,3]}");
  const std::string manyDigits = "a[" + std::string(400, '9') + "]";
  for (const char* path : {"a[4294967297]", "a[18446744073709551617]", "a[-4294967295]",
                           "a[2147483648]", "a[-2147483649]", manyDigits.c_str()})
    ASSERT_TRUE(update(path, "x")) << path;
  EXPECT_EQ(text(), "{\"a\":[1,2,3,\"x\",\"x\",\"x\",\"x\",\"x\",\"x\"]}");
}

TEST_F(PathFixture, IndexLettersStandForTheirNumbers) {
  load("{\"a\":[10,11,12]}");
  settings.indexI = 1;
  settings.indexJ = 2;
  settings.indexK = 0;
  ASSERT_TRUE(update("a[index]", "i"));
  ASSERT_TRUE(update("a[J]", "j"));
  ASSERT_TRUE(update("a[k]", "k"));
  EXPECT_EQ(text(), "{\"a\":[\"k\",\"i\",\"j\"]}");
}

TEST_F(PathFixture, NestedArraysAndObjectsInsideArraysAreCreated) {
  ASSERT_TRUE(update("m[0][0]", "deep"));
  ASSERT_TRUE(update("m[0][5].x", "obj"));
  ASSERT_TRUE(update("m[ 0 ] [0]", "again"));
  EXPECT_EQ(text(), "{\"m\":[[\"again\",{\"x\":\"obj\"}]]}");
}

TEST_F(PathFixture, SyntaxErrorsAndTheirMessages) {
  EXPECT_FALSE(update("a[0", "v"));
  EXPECT_EQ(log.lines, (Lines{"E:Did not find closing ']' in JSON path.", "D:jsonPath=[0"}));

  load("");
  EXPECT_FALSE(update("a]", "v"));
  EXPECT_EQ(log.lines, (Lines{"E:Expected a '.' or '[' char.", "E:JSON path syntax error (2).",
                              "D:jsonPath2=a]"}));
  EXPECT_EQ(text(), "{\"a\":{}}");

  EXPECT_FALSE(update("\"a\\", "v"));
  EXPECT_EQ(log.lines, (Lines{"E:JSON path syntax error.."}));

  load("{\"s\":1,\"l\":[1,{\"o\":2}]}");
  EXPECT_FALSE(update("s.x", "v"));
  EXPECT_EQ(log.lines, (Lines{"E:Value expected to be an object.", "E:JSON path syntax error..",
                              "D:jsonPath2=s.x"}));
  EXPECT_FALSE(update("s[0]", "v"));
  EXPECT_EQ(log.lines, (Lines{"E:Value expected to be an array.", "E:JSON path syntax error..",
                              "D:jsonPath2=s[0]"}));
  EXPECT_FALSE(update("l[0].x", "v"));
  EXPECT_EQ(log.lines,
            (Lines{"E:JSON path error: expected an object.", "E:Expected a '.' or '[' char.",
                   "E:JSON path syntax error (1).", "D:jsonPath=[0].x"}));
  EXPECT_FALSE(update("l[1][0]", "v"));
  EXPECT_EQ(log.lines,
            (Lines{"E:JSON path error: expected an array.", "E:Expected a '.' or '[' char.",
                   "E:JSON path syntax error (1).", "D:jsonPath=[1][0]"}));
  EXPECT_FALSE(update("l[0][0]", "v"));
  EXPECT_EQ(log.lines, (Lines{"E:Not an array value", "D:jsonPath=[0]"}));
  EXPECT_FALSE(update("l[0]x", "v"));
  EXPECT_EQ(log.lines, (Lines{"E:Expected a '.' or '[' char.", "E:JSON path syntax error (1).",
                              "D:jsonPath=[0]x"}));
  EXPECT_FALSE(update("l[9]x", "v"));
  EXPECT_EQ(log.lines, (Lines{"E:invalid path during auto-create (2)", "D:jsonPath=[9]x"}));
  EXPECT_EQ(text(), "{\"s\":1,\"l\":[1,{\"o\":2}]}");
}

TEST_F(PathFixture, UpdatesEndingAtObjectsFailAndAtArraysReplaceThem) {
  load("{\"o\":{\"x\":1},\"l\":[1,2],\"cut\":");
  EXPECT_FALSE(update("o", "v"));
  EXPECT_EQ(log.lines, (Lines{"E:Path did not end at a JSON value (1)"}));
  EXPECT_TRUE(update("l", "v"));
  EXPECT_FALSE(update("cut", "v"));
  EXPECT_TRUE(log.lines.empty());
  EXPECT_EQ(text(), "{\"o\":{\"x\":1},\"l\":\"v\"}");
}

TEST_F(PathFixture, UpdateTextsAreEscaped) {
  ASSERT_TRUE(update("e", "q\"b\\t\tc\x01\x1f/\x7f\xc3\xa9"));
  EXPECT_EQ(text(), "{\"e\":\"q\\\"b\\\\t\\tc\\u0001\\u001F/\x7f\xc3\xa9\"}");
}

TEST_F(PathFixture, WithoutAnObjectToLockNothingIsChanged) {
  releaseTop();
  EXPECT_FALSE(update("a", "v"));
  EXPECT_EQ(log.lines, (Lines{"E:Unable to lock my JSON object."}));
  top = _ckWeakPtr::create(nullptr);
  EXPECT_FALSE(update("a", "v"));
  EXPECT_EQ(log.lines, (Lines{"E:Unable to lock my JSON object."}));
}

TEST_F(PathFixture, EmptyAndNullPathsGiveNothing) {
  EXPECT_EQ(find(nullptr), nullptr);
  EXPECT_EQ(find("   "), nullptr);
  EXPECT_EQ(find("."), nullptr);
  EXPECT_TRUE(log.lines.empty());
  JsonPathOptions options;
  EXPECT_EQ(resolveArrayPath(nullptr, "[0]", options, log), nullptr);
}

TEST_F(PathFixture, VeryLongPathsResolveWithoutRecursion) {
  std::string path;
  for (int i = 0; i < 200000; ++i) path += i % 2 == 0 ? "a." : "b[0].";
  path += "leaf";
  ASSERT_TRUE(update(path.c_str(), "v"));
  EXPECT_NE(find(path.c_str()), nullptr);
}

}  // namespace
}  // namespace rozazar::testing
