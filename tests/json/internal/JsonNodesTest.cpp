#include <gtest/gtest.h>

#include <string>

#include "foundation/object/RefCountedObject.h"
#include "json/internal/JsonNodes.h"
#include "tests/foundation/TestObjects.h"
#include "tests/json/JsonTestSupport.h"

namespace rozazar::testing {
namespace {

std::string nameOf(const _ckJsonMember& member) {
  const char* data = nullptr;
  std::uint32_t n = 0;
  if (!member.readName(data, n)) return "<unreadable>";
  return std::string(data, n);
}

std::string textOf(const _ckJsonValue& value) {
  const char* data = nullptr;
  std::uint32_t n = 0;
  if (!value.readText(data, n)) return "<unreadable>";
  return std::string(data, n);
}

TEST(JsonNodes, FifteenByteTextsStayInlineSixteenGoToTheHeap) {
  DocPtr doc(_ckJsonDoc::createNew());
  LogNull log;
  const std::string fifteen = "abcdefghijklmno";
  const std::string sixteen = fifteen + "p";
  _ckJsonMember* shortMember =
      newScalarMember(doc.get(), fifteen.data(), 15, fifteen.data(), 15, true, log);
  _ckJsonMember* longMember =
      newScalarMember(doc.get(), sixteen.data(), 16, sixteen.data(), 16, false, log);
  ASSERT_NE(shortMember, nullptr);
  ASSERT_NE(longMember, nullptr);
  EXPECT_EQ(shortMember->nameForm(), kNameInline);
  EXPECT_EQ(shortMember->value()->payloadForm(), kPayloadInline);
  EXPECT_EQ(longMember->nameForm(), kNameHeap);
  EXPECT_EQ(longMember->value()->payloadForm(), kPayloadHeap);
  EXPECT_EQ(nameOf(*shortMember), fifteen);
  EXPECT_EQ(textOf(*shortMember->value()), fifteen);
  EXPECT_EQ(nameOf(*longMember), sixteen);
  EXPECT_EQ(textOf(*longMember->value()), sixteen);

  _ckJsonObject* object = doc->newObject();
  ASSERT_TRUE(object->appendMember(shortMember));
  ASSERT_TRUE(object->appendMember(longMember));
  EXPECT_EQ(object->findMember(sixteen.data(), 16), 1);
  EXPECT_EQ(object->findMember(fifteen.data(), 15), 0);
  EXPECT_EQ(object->findMember(sixteen.data(), 15), 0);
  EXPECT_EQ(object->findMember("ABCDEFGHIJKLMNO", 15), -1);
  RozazarObject::deleteObject(object);
}

TEST(JsonNodes, NewObjectHasNoMembersAndFindsNothing) {
  DocPtr doc(_ckJsonDoc::createNew());
  _ckJsonObject* object = doc->newObject();
  EXPECT_FALSE(object->hasMemberList());
  EXPECT_EQ(object->memberCount(), 0);
  EXPECT_EQ(object->findMember("", 0), -1);
  EXPECT_EQ(object->memberAt(0), nullptr);
  RozazarObject::deleteObject(object);
}

TEST(JsonNodes, ReferencesOutsideTheSourceTextNeverMatchOrRead) {
  DocPtr doc(_ckJsonDoc::createNew());
  doc->sourceText().appendText("abc");
  _ckJsonMember* member = doc->newMember();
  member->setNameReference(1, 2);
  EXPECT_EQ(nameOf(*member), "bc");
  EXPECT_TRUE(member->nameEquals("bc", 2));
  member->setNameReference(2, 2);
  EXPECT_EQ(nameOf(*member), "<unreadable>");
  EXPECT_FALSE(member->nameEquals("c", 1));
  RozazarObject::deleteObject(member);
}

TEST(JsonNodes, AddAtInsertsInsideTheListAndAppendsOtherwise) {
  DocPtr doc(_ckJsonDoc::createNew());
  LogNull log;
  _ckJsonValue* array = doc->newArrayValue();
  auto item = [&](const char* text) {
    _ckJsonValue* value = doc->newValue(false);
    value->setValueText(text, static_cast<std::uint32_t>(std::string(text).size()), false, log);
    return value;
  };
  EXPECT_TRUE(array->addAt(-1, item("a")));
  EXPECT_TRUE(array->addAt(1, item("c")));  // == count: appends
  EXPECT_TRUE(array->addAt(1, item("b")));  // inside: inserts
  EXPECT_TRUE(array->addAt(99, item("d")));
  EXPECT_FALSE(array->addAt(0, nullptr));
  ASSERT_EQ(array->itemCount(), 4);
  std::string order;
  for (int i = 0; i < 4; ++i) order += textOf(*static_cast<_ckJsonValue*>(array->itemAt(i)));
  EXPECT_EQ(order, "abcd");

  _ckJsonValue* scalar = item("x");
  _ckJsonObject* refused = doc->newObject();
  EXPECT_FALSE(scalar->addAt(0, refused));
  RozazarObject::deleteObject(refused);
  RozazarObject::deleteObject(scalar);
  RozazarObject::deleteObject(array);
}

TEST(JsonNodes, SetValueTextDiscardsAnArrayAndLeavesAScalar) {
  DocPtr doc(_ckJsonDoc::createNew());
  LogNull log;
  _ckJsonValue* value = doc->newArrayValue();
  value->addAt(-1, doc->newObject());
  value->addAt(-1, doc->newArrayValue());
  ASSERT_TRUE(value->setValueText("7", 1, false, log));
  EXPECT_TRUE(value->isScalar());
  EXPECT_EQ(value->items(), nullptr);
  EXPECT_EQ(textOf(*value), "7");
  RozazarObject::deleteObject(value);
}

TEST(JsonNodes, DestroyedValueFailsItsValidityCheck) {
  DocPtr doc(_ckJsonDoc::createNew());
  LogNull log;
  alignas(_ckJsonValue) unsigned char storage[sizeof(_ckJsonValue)];
  auto* value = new (storage) _ckJsonValue(doc.get(), true);
  value->setValueText("a long text beyond the inline limit", 35, true, log);
  value->~_ckJsonValue();
  EXPECT_FALSE(_ckJsonValue::isLive(value));
}

TEST(JsonNodes, WeakHandleIsClearedWhenItsObjectDies) {
  DocPtr doc(_ckJsonDoc::createNew());
  _ckJsonObject* object = doc->newObject();
  _ckWeakPtr* handle = _ckWeakPtr::create(object);
  object->setWeakHandle(handle);
  EXPECT_EQ(handle->refCount(), 2);
  RozazarObject::deleteObject(object);
  EXPECT_EQ(handle->lockTarget(), nullptr);
  EXPECT_EQ(handle->refCount(), 1);
  handle->release();
}

TEST(JsonNodes, ObjectMemberReportsEachFailureAndLeavesNothing) {
  DocPtr doc(_ckJsonDoc::createNew());
  const std::string longName(100, 'n');
  {
    RecordingLog log;
    AllocationRefusal refuse(101, 1);  // the heap copy of the name
    EXPECT_EQ(newObjectMember(doc.get(), longName.data(), 100, log), nullptr);
    EXPECT_EQ(log.lines, std::vector<std::string>{"E:newObjectMember failure (1)"});
  }
  {
    RecordingLog log;
    AllocationRefusal refuse(sizeof(_ckJsonValue), 1);
    EXPECT_EQ(newObjectMember(doc.get(), "a", 1, log), nullptr);
    EXPECT_EQ(log.lines, std::vector<std::string>{"E:newObjectMember failure (2)"});
  }
}

TEST(JsonNodes, ResetTopObjectReplacesTheTreeAndClearsTheSource) {
  DocPtr doc = parseInPlace("{\"a\":[1,{\"b\":2}]}");
  ASSERT_EQ(doc->topObject()->memberCount(), 1);
  ASSERT_TRUE(doc->resetTopObject());
  EXPECT_EQ(doc->topObject()->memberCount(), 0);
  EXPECT_TRUE(doc->sourceText().isEmpty());
}

TEST(JsonNodes, RemoveMemberDeletesOnlyThatMember) {
  DocPtr doc = parseInPlace("{\"a\":1,\"b\":{\"c\":[2]},\"d\":3}");
  _ckJsonObject* top = doc->topObject();
  top->removeMemberAt(1);
  EXPECT_EQ(emitText(*top), "{\"a\":1,\"d\":3}");
}

TEST(JsonNodes, AMillionLevelsDeepTreeIsDeletedWithoutRecursion) {
  DocPtr doc(_ckJsonDoc::createNew());
  ASSERT_TRUE(doc->resetTopObject());
  _ckJsonObject* object = doc->topObject();
  LogNull log;
  for (int depth = 0; depth < 1000000; ++depth) {
    _ckJsonMember* member = depth % 2 == 0 ? newObjectMember(doc.get(), "o", 1, log)
                                           : newArrayMember(doc.get(), "a", 1);
    ASSERT_NE(member, nullptr);
    ASSERT_TRUE(object->appendMember(member));
    _ckJsonValue* value = member->value();
    if (value->isObject()) {
      object = value->object();
    } else {
      _ckJsonObject* inner = doc->newObject();
      ASSERT_TRUE(value->addAt(-1, inner));
      object = inner;
    }
  }
  doc.reset();  // would exhaust the stack if deletion recursed
  SUCCEED();
}

}  // namespace
}  // namespace rozazar::testing
