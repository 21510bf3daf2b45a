#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/object/RefCountedObject.h"
#include "json/internal/JsonNodes.h"
#include "tests/foundation/TestObjects.h"
#include "tests/json/JsonTestSupport.h"

namespace rozazar::testing {
namespace {

TEST(JsonPool, ADeletedMemberServesTheNextAndTheRestStays) {
  DocPtr doc = parseInPlace("{\"a\":\"a text longer than the inline limit\",\"b\":1,\"c\":[1,2]}");
  ASSERT_TRUE(doc);
  _ckJsonObject* top = doc->topObject();
  const void* removed = top->memberAt(1);
  top->removeMemberAt(1);
  LogNull log;
  _ckJsonMember* added = newScalarMember(doc.get(), "d", 1, "7", 1, false, log);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(static_cast<const void*>(added), removed);
  ASSERT_TRUE(top->appendMember(added));
  EXPECT_EQ(emitText(*top), "{\"a\":\"a text longer than the inline limit\",\"c\":[1,2],\"d\":7}");
}

TEST(JsonPool, ARefusedSlabFailsTheNodeOnly) {
  DocPtr doc(_ckJsonDoc::createNew());
  std::vector<_ckJsonValue*> values;
  {
    // Nodes are far smaller than a slab: only new slabs are refused.
    AllocationRefusal refuse(1024);
    for (int i = 0; i < 100; ++i) {
      _ckJsonValue* value = doc->newValue(false);
      if (value == nullptr) break;
      values.push_back(value);
    }
    EXPECT_LT(values.size(), 100u);
  }
  _ckJsonValue* after = doc->newValue(false);
  EXPECT_NE(after, nullptr);
  values.push_back(after);
  for (_ckJsonValue* value : values) RozazarObject::deleteObject(value);
}

TEST(JsonPool, DeletingTheDocumentClearsTheHandlesOfItsNodesAndFreesLargeTexts) {
  DocPtr doc = parseInPlace("{\"a\":{\"b\":[1]}}");
  ASSERT_TRUE(doc);
  _ckJsonValue* value = doc->topObject()->memberAt(0)->value();
  _ckWeakPtr* handle = _ckWeakPtr::create(value);
  ASSERT_TRUE(value->setWeakHandle(handle));
  const std::string large(300, 'x');
  LogNull log;
  _ckJsonMember* member = newScalarMember(doc.get(), "c", 1, large.data(), 300, true, log);
  ASSERT_NE(member, nullptr);
  ASSERT_TRUE(doc->topObject()->appendMember(member));
  doc.reset();
  EXPECT_EQ(handle->lockTarget(), nullptr);
  EXPECT_EQ(handle->refCount(), 1);
  handle->release();
}

TEST(JsonPool, SlabsOfADeletedDocumentServeTheNextOnlyPastTheGate) {
  // About 1 MB of nodes: most slabs have the largest size, and those go to
  // the cache when their document is deleted.
  constexpr int kValues = 20000;
  const auto fill = [](_ckJsonDoc& doc) {
    int made = 0;
    while (made < kValues && doc.newValue(false) != nullptr) ++made;
    return made;
  };
  {
    DocPtr first(_ckJsonDoc::createNew());
    ASSERT_EQ(fill(*first), kValues);
  }
  {
    DocPtr refused(_ckJsonDoc::createNew());
    AllocationRefusal refuse(65536);
    EXPECT_LT(fill(*refused), kValues);
  }
  std::string text = "{\"a\":[";
  for (int i = 0; i < kValues; ++i) text += i == 0 ? "[1.5,-2]" : ",[1.5,-2]";
  text += "]}";
  DocPtr reused = parseInPlace(text);
  ASSERT_TRUE(reused);
  EXPECT_EQ(emitText(*reused->topObject()), text);
}

}  // namespace
}  // namespace rozazar::testing
