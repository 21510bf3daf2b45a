// The node tree of a JSON document. Every node belongs to one document and
// carries a one-byte kind code. Names and string values are kept in their
// escaped wire form and never decoded. A text is stored inline when it has at
// most 15 bytes, on the heap otherwise, or, for text parsed straight out of
// the document's own source buffer, as an offset and a length into it.
//
// A parent owns its children. Deleting a node deletes its whole subtree
// without recursion, so trees of any depth can be destroyed.
//
// Nodes and their heap texts live in the document's pool: a document's
// nodes are made by the document (newObject, newMember, newValue), a deleted
// node goes back to the pool, and deleting the document frees the pool's
// slabs at once, without visiting the nodes: only weak handles reach
// outside the document, and the document clears those of the nodes that
// hold one. A node never outlives its document and never moves to another
// document.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/containers/DataBuffer.h"
#include "foundation/object/RefCountedObject.h"
#include "foundation/object/RozazarObject.h"
#include "foundation/object/Signature.h"
#include "json/internal/JsonPool.h"

namespace rozazar {

class LogBase;
class _ckJsonBase;
class _ckJsonDoc;
class _ckJsonObject;
class _ckJsonMember;
class _ckJsonValue;

enum NodeKind : std::uint8_t {
  kNodeObject = 1,
  kNodeMember = 2,
  kNodeValue = 3,
  kNodeDocument = 4,
};

enum NameForm : std::uint8_t {
  kNameReference = 0,
  kNameInline = 1,
  kNameHeap = 2,
};

enum PayloadForm : std::uint8_t {
  kPayloadReference = 0,
  kPayloadInline = 1,
  kPayloadHeap = 2,
  kPayloadArray = 3,
  kPayloadObject = 4,
};

// Texts of at most this many bytes are stored inside the node.
constexpr std::uint32_t kJsonInlineLimit = 15;

// The 16 bytes that hold a name or a scalar text in one of three forms.
union JsonTextStorage {
  struct {
    std::uint32_t offset;
    std::uint32_t length;
  } reference;
  // At most 15 bytes and a NUL; the last byte holds 15 - length.
  char inlineText[16];
  struct {
    char* block;  // length + 1 bytes, NUL-terminated
    std::uint32_t length;
  } heap;
};
static_assert(sizeof(JsonTextStorage) == 16, "text storage must stay 16 bytes");

// The ordered children of an object (its members) or of an array value (its
// items). The slot block comes from the document's pool and doubles when
// full; an empty list has none. Null elements may be stored; an element
// whose signature is broken reads as null.
class JsonNodeList {
 public:
  int count() const noexcept { return static_cast<int>(m_count); }
  // Null for a bad index, a null slot or a broken element.
  _ckJsonBase* getAt(int index) const noexcept;

  // An empty list (the class stays trivial, so that it fits in a union).
  void clear() noexcept {
    m_slots = nullptr;
    m_count = 0;
    m_capacity = 0;
  }
  // Inserts at index; an index outside 0 .. count - 1 appends. False (list
  // unchanged) when the slot block can't grow.
  bool insertAt(JsonPool& pool, int index, _ckJsonBase* node) noexcept;
  // Takes the element out without deleting it; null for a bad index.
  _ckJsonBase* removeAt(int index) noexcept;
  // Returns the slot block to the pool; the elements are not touched.
  void releaseSlots(JsonPool& pool) noexcept;
  // The element of a slot as stored, for deletion.
  _ckJsonBase* rawAt(int index) const noexcept { return m_slots[index]; }

 private:
  _ckJsonBase** m_slots;
  std::uint32_t m_count;
  std::uint32_t m_capacity;
};

// A value's payload: a scalar text, an item list or an object.
union JsonPayload {
  JsonTextStorage text;
  JsonNodeList items;
  _ckJsonObject* object;
};
static_assert(sizeof(JsonPayload) == 16, "payload must stay 16 bytes");

class _ckJsonBase : public RozazarObject {
 public:
  _ckJsonBase(const _ckJsonBase&) = delete;
  _ckJsonBase& operator=(const _ckJsonBase&) = delete;

  std::uint8_t nodeKind() const noexcept { return m_nodeKind; }
  _ckJsonDoc* document() const noexcept { return m_doc; }

 protected:
  _ckJsonBase(std::uint8_t kind, _ckJsonDoc* doc) noexcept : m_nodeKind(kind), m_doc(doc) {}
  ~_ckJsonBase() override = default;

  // Hands the node's storage back to its document's pool.
  void destroy() noexcept override;

  // Moves the node's children onto the chain of nodes waiting to be deleted
  // and leaves the node without children.
  virtual void detachChildren(_ckJsonBase*& doomed) noexcept = 0;
  // Deletes every node of the chain, all of them nodes of doc; children
  // found on the way join it.
  static void deleteDoomed(_ckJsonBase* doomed, _ckJsonDoc& doc) noexcept;
  // Destroys a node of doc and returns its storage to doc's pool.
  static void releaseNode(_ckJsonBase* node, _ckJsonDoc& doc) noexcept;
  static void pushDoomed(_ckJsonBase*& doomed, _ckJsonBase* node) noexcept;
  // Moves the elements of an item or member list onto the chain and returns
  // the list's slots to the pool, leaving the list empty.
  void doomList(_ckJsonBase*& doomed, JsonNodeList& list) noexcept;
  // Deletes the node's own subtree (called by destructors).
  void deleteChildren() noexcept;
  // The document whose pool holds the node's storage and texts.
  _ckJsonDoc* owningDocument() noexcept;

  // The node's weak handle field, for the kinds that have one.
  virtual _ckWeakPtr** weakHandleSlot() noexcept { return nullptr; }
  // Replaces the node's weak handle (registering the node with its document
  // as a holder of one), or clears it with null. False when a new handle
  // could not be taken.
  bool replaceWeakHandle(_ckWeakPtr* handle) noexcept;
  // Clears the weak handle of a node whose document is being deleted (the
  // node itself goes with the pool, without its destructor).
  static void clearHandleOf(_ckJsonBase* node) noexcept;

  // Bits of m_flags.
  static constexpr std::uint8_t kQuoted = 1;         // a value's text is a string
  static constexpr std::uint8_t kHasMemberList = 2;  // an object has a member list
  bool hasFlag(std::uint8_t bit) const noexcept { return (m_flags & bit) != 0; }
  void setFlag(std::uint8_t bit, bool on) noexcept {
    m_flags = static_cast<std::uint8_t>(on ? m_flags | bit : m_flags & ~bit);
  }

  // A member's name form or a value's payload form. Kept here, beside the
  // kind, where it fills what would otherwise be padding.
  std::uint8_t m_form = 0;
  std::uint8_t m_flags = 0;

 private:
  std::uint8_t m_nodeKind;
  // While the node waits for deletion its document is no longer needed, and
  // the field links it to the next waiting node instead.
  union {
    _ckJsonDoc* m_doc;
    _ckJsonBase* m_nextDoomed;
  };
};

inline _ckJsonBase* JsonNodeList::getAt(int index) const noexcept {
  if (index < 0 || static_cast<std::uint32_t>(index) >= m_count) return nullptr;
  _ckJsonBase* node = m_slots[index];
  return node != nullptr && RozazarObject::isValid(node) ? node : nullptr;
}

// Where a stored text lies: a pointer and a length, or failure for a
// reference outside the source text.
bool readJsonText(const JsonTextStorage& storage, std::uint8_t form, const _ckJsonDoc* doc,
                  const char*& data, std::uint32_t& length) noexcept;

class _ckJsonDoc : public _ckJsonBase {
 public:
  // A new document with an empty source text and no top object, or null.
  static _ckJsonDoc* createNew() noexcept;
  _ckJsonDoc() noexcept : _ckJsonBase(kNodeDocument, nullptr) {}
  ~_ckJsonDoc() override;

  _ckJsonObject* topObject() const noexcept { return m_topObject; }
  // Replaces the whole tree by a new empty top object and clears the source
  // text; false (tree gone, no top object) when the object can't be made.
  bool resetTopObject() noexcept;
  // Deletes the top object with its tree.
  void deleteTopObject() noexcept;

  DataBuffer& sourceText() noexcept { return m_sourceText; }
  const DataBuffer& sourceText() const noexcept { return m_sourceText; }
  // The storage of the document's nodes and heap texts.
  JsonPool& pool() noexcept { return m_pool; }

  // The document's record of the nodes that hold a weak handle. False when
  // the record can't grow.
  bool addWeakHolder(_ckJsonBase* node) noexcept;
  void removeWeakHolder(_ckJsonBase* node) noexcept;

  // Creation of nodes belonging to this document; null when memory runs out.
  _ckJsonObject* newObject() noexcept;
  _ckJsonMember* newMember() noexcept;
  _ckJsonValue* newValue(bool quoted) noexcept;
  // A value holding a new empty item list.
  _ckJsonValue* newArrayValue() noexcept;
  // A value holding a new empty object.
  _ckJsonValue* newObjectValue() noexcept;

 protected:
  void detachChildren(_ckJsonBase*& doomed) noexcept override;
  // The document itself comes from the heap.
  void destroy() noexcept override { delete this; }

 private:
  // Declared first, so that it is destroyed last: with it go all nodes and
  // texts of the document at once.
  JsonPool m_pool;
  // The nodes that hold a weak handle; the destructor clears their handles.
  JsonNodeList m_weakHolders{};
  _ckJsonObject* m_topObject = nullptr;
  DataBuffer m_sourceText;
};

class _ckJsonObject : public _ckJsonBase {
 public:
  explicit _ckJsonObject(_ckJsonDoc* doc) noexcept : _ckJsonBase(kNodeObject, doc) {}
  ~_ckJsonObject() override;

  int memberCount() const noexcept { return m_members.count(); }
  // Null for a bad index or an empty slot.
  _ckJsonMember* memberAt(int index) const noexcept;
  const JsonNodeList* memberList() const noexcept {
    return hasFlag(kHasMemberList) ? &m_members : nullptr;
  }
  // An object that never had a member list is written as "{}" even in
  // indented layout.
  bool hasMemberList() const noexcept { return hasFlag(kHasMemberList); }
  // The index of the first member of that name, or -1.
  int findMember(const char* name, std::uint32_t length) const noexcept;
  // Appends, giving the object its member list first if it has none. False
  // (member not taken) when memory runs out.
  bool appendMember(_ckJsonMember* member) noexcept;
  // Takes the member out and deletes it.
  void removeMemberAt(int index) noexcept;
  // Empties the member list (the object then has one), deleting all
  // members.
  bool resetMemberList() noexcept;

  // Registers a weak reference that is cleared when the object dies; the
  // object holds one count of it. False (handle not taken) when the document
  // can't record it.
  bool setWeakHandle(_ckWeakPtr* handle) noexcept { return replaceWeakHandle(handle); }

 protected:
  void detachChildren(_ckJsonBase*& doomed) noexcept override;
  _ckWeakPtr** weakHandleSlot() noexcept override { return &m_weakHandle; }

 private:
  _ckWeakPtr* m_weakHandle = nullptr;
  JsonNodeList m_members{};
};

class _ckJsonMember : public _ckJsonBase {
 public:
  explicit _ckJsonMember(_ckJsonDoc* doc) noexcept;
  ~_ckJsonMember() override;

  std::uint8_t nameForm() const noexcept { return m_form; }
  // Copies the name: inline up to 15 bytes, a heap copy beyond. False when
  // the heap copy can't be made (the name is then empty).
  bool setNameCopy(const char* name, std::uint32_t length) noexcept;
  // Makes the name a reference into the document's source text.
  void setNameReference(std::uint32_t offset, std::uint32_t length) noexcept;
  // False for a reference outside the source text.
  bool readName(const char*& data, std::uint32_t& length) const noexcept;
  bool nameEquals(const char* name, std::uint32_t length) const noexcept;

  _ckJsonValue* value() const noexcept { return m_value; }
  // Takes ownership of value, deleting the one held before.
  void setValue(_ckJsonValue* value) noexcept;

 protected:
  void detachChildren(_ckJsonBase*& doomed) noexcept override;

 private:
  void freeName() noexcept;

  JsonTextStorage m_name;
  _ckJsonValue* m_value = nullptr;
};

// A member named name holding a value with a new empty object, a new empty
// array, or the scalar text; null (and nothing left behind) on failure.
_ckJsonMember* newObjectMember(_ckJsonDoc* doc, const char* name, std::uint32_t nameLength,
                               LogBase& log) noexcept;
_ckJsonMember* newArrayMember(_ckJsonDoc* doc, const char* name, std::uint32_t nameLength) noexcept;
_ckJsonMember* newScalarMember(_ckJsonDoc* doc, const char* name, std::uint32_t nameLength,
                               const char* text, std::uint32_t textLength, bool quoted,
                               LogBase& log) noexcept;

class _ckJsonValue : public _ckJsonBase {
 public:
  static constexpr std::uint32_t kValueSignature = 0x9AB300F2u;

  _ckJsonValue(_ckJsonDoc* doc, bool quoted) noexcept;
  ~_ckJsonValue() override;

  // True when non-null and its validity word is intact.
  ROZAZAR_SIGNATURE_CHECK static bool isLive(const _ckJsonValue* value) noexcept {
    return value != nullptr && value->m_valueSignature == kValueSignature;
  }

  std::uint8_t payloadForm() const noexcept { return m_form; }
  bool isQuoted() const noexcept { return hasFlag(kQuoted); }
  bool isScalar() const noexcept { return m_form <= kPayloadHeap; }
  bool isArray() const noexcept { return m_form == kPayloadArray; }
  bool isObject() const noexcept { return m_form == kPayloadObject; }

  // Replaces the payload by a copy of the text (null counts as empty).
  bool setValueText(const char* text, std::uint32_t length, bool quoted, LogBase& log) noexcept;
  // Makes the text a reference into the document's source text.
  void setTextReference(std::uint32_t offset, std::uint32_t length) noexcept;
  // False for a reference outside the source text or a non-scalar payload.
  bool readText(const char*& data, std::uint32_t& length) const noexcept;

  // The item list of an array value, or null.
  const JsonNodeList* items() const noexcept { return isArray() ? &m_payload.items : nullptr; }
  int itemCount() const noexcept;
  // The item (a value or an object), or null.
  _ckJsonBase* itemAt(int index) const noexcept;
  // Inserts into an array value; an index outside 0 .. count - 1 appends.
  bool addAt(int index, _ckJsonBase* item) noexcept;
  // True for a live array value (which always has its item list).
  bool ensureArray() noexcept;
  // Turns the value into an empty array, or an object value; the old
  // payload is deleted.
  void setArrayPayload() noexcept;
  void setObjectPayload(_ckJsonObject* object) noexcept;
  _ckJsonObject* object() const noexcept { return isObject() ? m_payload.object : nullptr; }
  // Resets the payload to empty inline text.
  void clearPayload() noexcept;

  bool setWeakHandle(_ckWeakPtr* handle) noexcept { return replaceWeakHandle(handle); }

 protected:
  void detachChildren(_ckJsonBase*& doomed) noexcept override;
  _ckWeakPtr** weakHandleSlot() noexcept override { return &m_weakHandle; }

 private:
  std::uint32_t m_valueSignature = kValueSignature;
  _ckWeakPtr* m_weakHandle = nullptr;
  JsonPayload m_payload;
};

// Clears and releases the weak handle of a dying node.
void clearWeakHandle(_ckWeakPtr*& handle) noexcept;

}  // namespace rozazar
