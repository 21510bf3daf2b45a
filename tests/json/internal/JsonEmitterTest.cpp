#include <gtest/gtest.h>

#include <string>

#include "tests/foundation/TestObjects.h"
#include "tests/json/JsonTestSupport.h"

namespace rozazar::testing {
namespace {

const char* const kExample = "{\"a\":\"b\",\"c\":[1,2],\"d\":{}}";

TEST(JsonEmitter, CompactLayoutOfTheExample) { EXPECT_EQ(compact(kExample), kExample); }

TEST(JsonEmitter, IndentedLayoutOfTheExampleWithCrLf) {
  DocPtr doc = parseInPlace(kExample);
  EXPECT_EQ(emitText(*doc->topObject(), false, true),
            "{\r\n"
            "  \"a\": \"b\",\r\n"
            "  \"c\": [\r\n"
            "    1,\r\n"
            "    2\r\n"
            "  ],\r\n"
            "  \"d\": {}\r\n"
            "}\r\n");
}

TEST(JsonEmitter, IndentedLayoutWithLineFeedsOnly) {
  DocPtr doc = parseInPlace("{\"a\":{\"b\":[{\"c\":1},[]]}}");
  EXPECT_EQ(emitText(*doc->topObject(), false, false),
            "{\n"
            "  \"a\": {\n"
            "    \"b\": [\n"
            "      {\n"
            "        \"c\": 1\n"
            "      },\n"
            "      [\n"
            "      ]\n"
            "    ]\n"
            "  }\n"
            "}\n");
}

TEST(JsonEmitter, TopObjectWithoutMemberListIsBracesOnlyInBothLayouts) {
  DocPtr doc = parseInPlace("");
  EXPECT_EQ(emitText(*doc->topObject(), true), "{}");
  EXPECT_EQ(emitText(*doc->topObject(), false), "{}");
}

TEST(JsonEmitter, ObjectThatLostItsMembersKeepsItsLines) {
  DocPtr doc = parseInPlace("{\"a\":1}");
  doc->topObject()->removeMemberAt(0);
  EXPECT_EQ(emitText(*doc->topObject(), true), "{}");
  EXPECT_EQ(emitText(*doc->topObject(), false), "{\r\n}\r\n");
}

TEST(JsonEmitter, MembersWithoutValueVanishWithTheirSeparator) {
  DocPtr doc = parseInPlace("{\"a\":1,\"b\":2,\"c\":\"cut");
  EXPECT_EQ(emitText(*doc->topObject()), "{\"a\":1,\"b\":2}");
  // In indented layout the separator before the line end goes too.
  EXPECT_EQ(emitText(*doc->topObject(), false, false), "{\n  \"a\": 1,\n  \"b\": 2\n}\n");
  EXPECT_EQ(emitText(*doc->topObject(), false, true), "{\r\n  \"a\": 1,\r\n  \"b\": 2\r\n}\r\n");
}

TEST(JsonEmitter, TextsAreWrittenAsStored) {
  EXPECT_EQ(compact("{\"a\":\"x\\\"y\",\"b\":tr,\"c\":\"\x01\x1f\"}"),
            "{\"a\":\"x\\\"y\",\"b\":tr,\"c\":\"\x01\x1f\"}");
}

TEST(JsonEmitter, OmitEmptyLeavesOutEmptyMembersButKeepsItems) {
  DocPtr doc = parseInPlace(
      "{\"s\":\"\",\"a\":[],\"o\":{},\"p\":{\"x\":1},\"k\":1,\"l\":[\"\",[],{}],\"e\":}");
  // p loses its only member: an object without members.
  doc->topObject()->memberAt(3)->value()->object()->removeMemberAt(0);
  EXPECT_EQ(emitText(*doc->topObject(), true, true, true), "{\"k\":1,\"l\":[\"\",[],{}],\"e\":}");
  EXPECT_EQ(emitText(*doc->topObject(), true, true, false),
            "{\"s\":\"\",\"a\":[],\"o\":{},\"p\":{},\"k\":1,\"l\":[\"\",[],{}],\"e\":}");
}

TEST(JsonEmitter, QuotedHeapTextNeverCountsAsEmpty) {
  DocPtr doc = parseCopy("{\"s\":\"a text longer than fifteen\"}");
  EXPECT_EQ(emitText(*doc->topObject(), true, true, true),
            "{\"s\":\"a text longer than fifteen\"}");
}

TEST(JsonEmitter, ReferenceOutsideTheSourceFails) {
  DocPtr doc = parseInPlace("{\"abc\":1}");
  doc->sourceText().setSize(3);
  EXPECT_EQ(emitText(*doc->topObject()), "<failed>");
}

TEST(JsonEmitter, OutputThatCannotGrowFails) {
  std::string text = "{\"a\":\"";
  text += std::string(4000, 'x');
  text += "\"}";
  DocPtr doc = parseInPlace(text);
  AllocationRefusal refuse(1000);
  EXPECT_EQ(emitText(*doc->topObject()), "<failed>");
}

TEST(JsonEmitter, AnOmittedMemberLongerThanTheStagedOutputLeavesNoTrace) {
  const std::string longName(20000, 'n');
  DocPtr doc = parseInPlace("{\"a\":1,\"" + longName + "\":{},\"b\":2}");
  ASSERT_TRUE(doc);
  EXPECT_EQ(emitText(*doc->topObject(), true, true, true), "{\"a\":1,\"b\":2}");
}

TEST(JsonEmitter, AMillionLevelsDeepEmissionMatchesTheParse) {
  std::string text;
  const int depth = 1000000;
  for (int i = 0; i < depth; ++i) text += i % 2 == 0 ? "[" : "{\"k\":";
  for (int i = depth - 1; i >= 0; --i) text += i % 2 == 0 ? "]" : "}";
  text = "{\"r\":" + text + "}";
  DocPtr doc = parseInPlace(text);
  ASSERT_TRUE(doc);
  EXPECT_EQ(emitText(*doc->topObject()), text);
}

}  // namespace
}  // namespace rozazar::testing
