#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/foundation/TestObjects.h"
#include "tests/json/JsonTestSupport.h"

namespace rozazar::testing {
namespace {

// What the parser makes of a text, shown as its compact emission.
struct ParseCase {
  const char* input;
  const char* emitted;
};

TEST(JsonParser, ForgivingScanRules) {
  const ParseCase cases[] = {
      {"", "{}"},
      {"hello", "{}"},
      {"garbage {\"a\":1} trailing", "{\"a\":1}"},
      {"{\"a\":1,,\"b\":2,}", "{\"a\":1,\"b\":2}"},
      {"{\"a\":1,\n}", "{\"a\":1}"},
      {"{\"a\":1,\r\n}", "{\"a\":1}"},
      {"{\"a\":\"x\\\"y\"}", "{\"a\":\"x\\\"y\"}"},
      {"{\"a\":[1|2,3]}", "{\"a\":[1,2,3]}"},
      {"{\"a\":[1,2}", "{\"a\":[1,2]}"},
      {"{\"a\":tr ue}", "{\"a\":tr}"},
      {"{\"a\":\"unterminated", "{}"},
      {"{\"a\":123", "{}"},
      {"{\"a\":}", "{\"a\":}"},
      {"{\"a\":1,\"a\":2}", "{\"a\":1,\"a\":2}"},
      {"[1,{\"a\":2}]", "{\"a\":2}"},
      {"{\"a\\\\\":\"b\\\\\"}", "{\"a\\\\\":\"b\\\\\"}"},
      {"{ \"a\" junk : \t\r\n \"b\" , \"c\":{ } }", "{\"a\":\"b\",\"c\":{}}"},
      {"{\"a\":[[],[[1]],{}, \"s\" ]}", "{\"a\":[[],[[1]],{},\"s\"]}"},
      {"{\"\":\"\"}", "{\"\":\"\"}"},
      {"{\"a\":1}{\"b\":2}", "{\"a\":1}"},
      {"{\"a\":-1.5e3,\"b\":null,\"c\":x|y}", "{\"a\":-1.5e3,\"b\":null,\"c\":x|y}"},
      {"{\"a\":\"\x01\t\"}", "{\"a\":\"\x01\t\"}"},
      {"{\"a\":1", "{}"},
      {"{\"a\":1 ", "{\"a\":1}"},
      {"{\"a\"", "{}"},
      {"{\"a", "{}"},
  };
  for (const ParseCase& c : cases) {
    EXPECT_EQ(compact(c.input), c.emitted) << "input: " << c.input;
    DocPtr copied = parseCopy(c.input);
    ASSERT_TRUE(copied);
    EXPECT_EQ(emitText(*copied->topObject()), c.emitted) << "copy mode, input: " << c.input;
  }
}

TEST(JsonParser, TruncatedValuesLeaveTheirMembersWithoutValue) {
  DocPtr doc = parseInPlace("{\"a\":\"unterminated");
  ASSERT_EQ(doc->topObject()->memberCount(), 1);
  EXPECT_EQ(doc->topObject()->memberAt(0)->value(), nullptr);
  doc = parseInPlace("{\"a\":123");
  ASSERT_EQ(doc->topObject()->memberCount(), 1);
  EXPECT_EQ(doc->topObject()->memberAt(0)->value(), nullptr);
}

TEST(JsonParser, InPlaceRefersIntoTheSourceAndCopyModeCopies) {
  const std::string text = "{\"abcdefghijklmno\":\"abcdefghijklmnop\",\"abcdefghijklmnop\":1}";
  DocPtr inPlace = parseInPlace(text);
  _ckJsonObject* top = inPlace->topObject();
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(inPlace->sourceText().data()),
                        inPlace->sourceText().size()),
            text);
  EXPECT_EQ(top->memberAt(0)->nameForm(), kNameReference);
  EXPECT_EQ(top->memberAt(0)->value()->payloadForm(), kPayloadReference);

  DocPtr copied = parseCopy(text);
  top = copied->topObject();
  EXPECT_TRUE(copied->sourceText().isEmpty());
  EXPECT_EQ(top->memberAt(0)->nameForm(), kNameInline);
  EXPECT_EQ(top->memberAt(0)->value()->payloadForm(), kPayloadHeap);
  EXPECT_EQ(top->memberAt(1)->nameForm(), kNameHeap);
  EXPECT_EQ(top->memberAt(1)->value()->payloadForm(), kPayloadInline);
  EXPECT_EQ(top->findMember("abcdefghijklmnop", 16), 1);
  EXPECT_EQ(emitText(*top), text);
}

TEST(JsonParser, ZeroBytesInsideTextsSurviveBothModes) {
  const std::string text = std::string("{\"n") + '\0' + "m\":\"a" + '\0' +
                           "b\",\"long\":\"0123456789" + '\0' + "abcdefghij\"}";
  DocPtr inPlace = parseInPlace(text);
  DocPtr copied = parseCopy(text);
  EXPECT_EQ(emitText(*inPlace->topObject()), text);
  EXPECT_EQ(emitText(*copied->topObject()), text);
}

TEST(JsonParser, TakeOverMovesTheInputIntoTheDocument) {
  DocPtr doc(_ckJsonDoc::createNew());
  DataBuffer input;
  input.appendText("{\"a\":1}");
  const unsigned char* block = input.data();
  LogNull log;
  ASSERT_TRUE(parseJsonDoc(*doc, input, true, nullptr, log));
  EXPECT_TRUE(input.isEmpty());
  EXPECT_EQ(doc->sourceText().data(), block);
}

TEST(JsonParser, CopyModeAppendsToTheTargetAndEmptyInputEmptiesIt) {
  DocPtr doc = parseCopy("{\"a\":1}");
  DataBuffer more;
  more.appendText("{\"b\":2}");
  LogNull log;
  ASSERT_TRUE(parseJsonDoc(*doc, more, false, doc->topObject(), log));
  EXPECT_EQ(emitText(*doc->topObject()), "{\"a\":1,\"b\":2}");
  DataBuffer empty;
  ASSERT_TRUE(parseJsonDoc(*doc, empty, false, doc->topObject(), log));
  EXPECT_TRUE(doc->topObject()->hasMemberList());
  EXPECT_EQ(doc->topObject()->memberCount(), 0);
}

TEST(JsonParser, LogShowsOnlyItsContext) {
  RecordingLog log;
  DocPtr doc(_ckJsonDoc::createNew());
  DataBuffer input;
  input.appendText("{\"a\":[1,,2,}");
  ASSERT_TRUE(parseJsonDoc(*doc, input, false, nullptr, log));
  EXPECT_TRUE(log.lines.empty());
}

// Every prefix of a valid document, held in a block of exactly its own size
// so that ASan catches any read at or beyond its end.
TEST(JsonParser, EveryTruncationParsesWithoutReadingPastTheEnd) {
  const std::string text =
      "{\"a\":\"x\\\"y\",\"b\":[1|2,{\"c\":null},[true,\"\"]],\"d\":{\"e\":-1.5},\"f\":tr ue}";
  for (std::size_t n = 0; n <= text.size(); ++n) {
    for (int copyMode = 0; copyMode < 2; ++copyMode) {
      DataBuffer input;
      if (n > 0) {
        auto* block = new unsigned char[n];
        std::memcpy(block, text.data(), n);
        input.adoptBlock(block, n);
      }
      DocPtr doc(_ckJsonDoc::createNew());
      ASSERT_TRUE(doc->resetTopObject());
      LogNull log;
      ASSERT_TRUE(parseJsonDoc(*doc, input, true, copyMode != 0 ? doc->topObject() : nullptr, log))
          << n;
      const std::string once = emitText(*doc->topObject());
      EXPECT_NE(once, "<failed>");
      EXPECT_EQ(compact(once), once) << "prefix " << n;
    }
  }
}

TEST(JsonParser, MemoryExhaustionFailsCleanly) {
  const std::string text = "{\"a\":1,\"b\":[2,3],\"c\":{\"d\":\"e\"}}";
  // Refuse members, values, objects or everything: false, and no leak.
  for (std::size_t minBytes :
       {sizeof(_ckJsonMember), sizeof(_ckJsonValue), sizeof(_ckJsonObject), std::size_t{1}}) {
    DocPtr doc = parseCopy("{}");
    DataBuffer input;
    input.appendText(text.c_str());
    LogNull log;
    AllocationRefusal refuse(minBytes);
    EXPECT_FALSE(parseJsonDoc(*doc, input, false, doc->topObject(), log));
  }
}

TEST(JsonParser, AMillionLevelsDeepDocumentParses) {
  std::string text;
  const int depth = 1000000;
  for (int i = 0; i < depth / 2; ++i) text += "{\"a\":[";
  text += "1";
  for (int i = 0; i < depth / 2; ++i) text += "]}";
  DocPtr doc = parseInPlace(text);
  ASSERT_TRUE(doc);
  EXPECT_EQ(emitText(*doc->topObject()), text);
}

}  // namespace
}  // namespace rozazar::testing
