#include "json/internal/JsonNodes.h"

#include <cstring>
#include <new>

#include "foundation/object/Allocation.h"
#include "foundation/object/LogBase.h"

namespace rozazar {

namespace {

// Stores a copy of n bytes in the given storage: inline up to the limit, a
// block of the pool beyond; false when the block can't be made.
bool copyText(_ckJsonDoc* doc, JsonTextStorage& storage, const char* text, std::uint32_t n,
              std::uint8_t& form) noexcept {
  if (n > kJsonInlineLimit) {
    if (doc == nullptr) return false;
    auto* block = static_cast<char*>(doc->pool().allocate(static_cast<std::size_t>(n) + 1));
    if (block == nullptr) return false;
    std::memcpy(block, text, n);
    block[n] = '\0';
    storage.heap.block = block;
    storage.heap.length = n;
    form = kPayloadHeap;
    return true;
  }
  std::memset(storage.inlineText, 0, sizeof(storage.inlineText));
  if (n > 0) std::memcpy(storage.inlineText, text, n);
  storage.inlineText[kJsonInlineLimit] = static_cast<char>(kJsonInlineLimit - n);
  form = kPayloadInline;
  return true;
}

// Inline text keeps its length in its last byte as 15 - length: that byte is
// the NUL after a 15-byte text, and zero bytes inside a text survive.
void emptyInline(JsonTextStorage& storage) noexcept {
  std::memset(&storage, 0, sizeof(storage));
  storage.inlineText[kJsonInlineLimit] = static_cast<char>(kJsonInlineLimit);
}

// Returns a heap text's block to the pool of the node's document.
void releaseHeapText(_ckJsonDoc* doc, JsonTextStorage& storage) noexcept {
  if (doc != nullptr) doc->pool().release(storage.heap.block, std::size_t{storage.heap.length} + 1);
}

// A new node of the document in storage from its pool, or null.
template <typename Node, typename... Args>
Node* newPooledNode(JsonPool& pool, Args... args) noexcept {
  void* storage = pool.allocate(sizeof(Node));
  return storage != nullptr ? new (storage) Node(args...) : nullptr;
}

}  // namespace

// ---- Text access ----

bool readJsonText(const JsonTextStorage& storage, std::uint8_t form, const _ckJsonDoc* doc,
                  const char*& data, std::uint32_t& length) noexcept {
  switch (form) {
    case kPayloadReference: {
      if (doc == nullptr) return false;
      const DataBuffer& source = doc->sourceText();
      const std::uint64_t end = std::uint64_t{storage.reference.offset} + storage.reference.length;
      if (end > source.size()) return false;
      data = reinterpret_cast<const char*>(source.data()) + storage.reference.offset;
      length = storage.reference.length;
      if (length == 0) data = "";
      return true;
    }
    case kPayloadInline: {
      data = storage.inlineText;
      const auto spare = static_cast<unsigned char>(storage.inlineText[kJsonInlineLimit]);
      length = spare <= kJsonInlineLimit ? kJsonInlineLimit - spare : 0;
      return true;
    }
    case kPayloadHeap:
      data = storage.heap.block;
      length = storage.heap.length;
      return data != nullptr;
    default:
      return false;
  }
}

void clearWeakHandle(_ckWeakPtr*& handle) noexcept {
  if (handle == nullptr) return;
  // lockTarget leaves the lock again when the target is already gone.
  if (handle->lockTarget() != nullptr) {
    handle->setTarget(nullptr);
    handle->unlockTarget();
  }
  handle->release();
  handle = nullptr;
}

// ---- Child lists ----

bool JsonNodeList::insertAt(JsonPool& pool, int index, _ckJsonBase* node) noexcept {
  if (m_count == m_capacity) {
    // Two slots first (a pair is the most common small array), then doubling.
    if (m_capacity > 0x3FFFFFFFu) return false;
    const std::uint32_t capacity = m_capacity == 0 ? 2 : m_capacity * 2;
    auto** slots = static_cast<_ckJsonBase**>(pool.allocate(capacity * sizeof(_ckJsonBase*)));
    if (slots == nullptr) return false;
    if (m_count > 0) std::memcpy(slots, m_slots, m_count * sizeof(_ckJsonBase*));
    if (m_slots != nullptr) pool.release(m_slots, m_capacity * sizeof(_ckJsonBase*));
    m_slots = slots;
    m_capacity = capacity;
  }
  if (index < 0 || static_cast<std::uint32_t>(index) >= m_count) {
    m_slots[m_count++] = node;
    return true;
  }
  const auto at = static_cast<std::uint32_t>(index);
  std::memmove(m_slots + at + 1, m_slots + at, (m_count - at) * sizeof(_ckJsonBase*));
  m_slots[at] = node;
  ++m_count;
  return true;
}

_ckJsonBase* JsonNodeList::removeAt(int index) noexcept {
  if (index < 0 || static_cast<std::uint32_t>(index) >= m_count) return nullptr;
  const auto at = static_cast<std::uint32_t>(index);
  _ckJsonBase* node = m_slots[at];
  std::memmove(m_slots + at, m_slots + at + 1, (m_count - at - 1) * sizeof(_ckJsonBase*));
  --m_count;
  return node;
}

void JsonNodeList::releaseSlots(JsonPool& pool) noexcept {
  if (m_slots != nullptr) pool.release(m_slots, m_capacity * sizeof(_ckJsonBase*));
  clear();
}

// ---- Deletion without recursion ----

void _ckJsonBase::pushDoomed(_ckJsonBase*& doomed, _ckJsonBase* node) noexcept {
  if (node == nullptr) return;
  node->m_nextDoomed = doomed;
  doomed = node;
}

void _ckJsonBase::doomList(_ckJsonBase*& doomed, JsonNodeList& list) noexcept {
  const int n = list.count();
  for (int i = 0; i < n; ++i) {
    _ckJsonBase* node = list.rawAt(i);
    if (node != nullptr && RozazarObject::isValid(node)) pushDoomed(doomed, node);
  }
  _ckJsonDoc* doc = owningDocument();
  if (doc != nullptr) {
    list.releaseSlots(doc->pool());
  } else {
    list.clear();
  }
}

void _ckJsonBase::releaseNode(_ckJsonBase* node, _ckJsonDoc& doc) noexcept {
  std::size_t bytes = 0;
  switch (node->m_nodeKind) {
    case kNodeObject:
      bytes = sizeof(_ckJsonObject);
      break;
    case kNodeMember:
      bytes = sizeof(_ckJsonMember);
      break;
    case kNodeValue:
      bytes = sizeof(_ckJsonValue);
      break;
    default:
      notifyCorruption();
      return;
  }
  node->~_ckJsonBase();
  doc.pool().release(node, bytes);
}

void _ckJsonBase::destroy() noexcept {
  _ckJsonDoc* doc = m_doc;
  if (doc == nullptr) {
    // Not a node of a document's pool; its storage is not ours to free.
    notifyCorruption();
    return;
  }
  releaseNode(this, *doc);
}

void _ckJsonBase::deleteDoomed(_ckJsonBase* doomed, _ckJsonDoc& doc) noexcept {
  while (doomed != nullptr) {
    _ckJsonBase* node = doomed;
    doomed = node->m_nextDoomed;
    // The node gets its document back for its destructor, which returns
    // heap texts to the pool.
    node->m_doc = &doc;
    // The node's children join the chain first, so its own destructor finds
    // nothing left to delete.
    node->detachChildren(doomed);
    if (RozazarObject::isValid(node)) releaseNode(node, doc);
  }
}

bool _ckJsonBase::replaceWeakHandle(_ckWeakPtr* handle) noexcept {
  _ckWeakPtr** slot = weakHandleSlot();
  if (slot == nullptr) return false;
  if (handle == *slot) return true;
  if (*slot != nullptr) {
    clearWeakHandle(*slot);
    if (m_doc != nullptr) m_doc->removeWeakHolder(this);
  }
  if (handle == nullptr) return true;
  if (m_doc == nullptr || !m_doc->addWeakHolder(this)) return false;
  if (handle->addRef() > 0) {
    *slot = handle;
    return true;
  }
  m_doc->removeWeakHolder(this);
  return false;
}

void _ckJsonBase::clearHandleOf(_ckJsonBase* node) noexcept {
  _ckWeakPtr** slot = node->weakHandleSlot();
  if (slot != nullptr) clearWeakHandle(*slot);
}

_ckJsonDoc* _ckJsonBase::owningDocument() noexcept {
  return m_nodeKind == kNodeDocument ? static_cast<_ckJsonDoc*>(this) : m_doc;
}

void _ckJsonBase::deleteChildren() noexcept {
  _ckJsonDoc* doc = owningDocument();
  _ckJsonBase* doomed = nullptr;
  detachChildren(doomed);
  if (doomed == nullptr) return;
  if (doc == nullptr) {
    notifyCorruption();
    return;
  }
  deleteDoomed(doomed, *doc);
}

// ---- Document ----

_ckJsonDoc* _ckJsonDoc::createNew() noexcept { return rozazar::newObject<_ckJsonDoc>(); }

_ckJsonDoc::~_ckJsonDoc() {
  // The pool frees every node and text at once when it goes; the tree is
  // not visited. Only the weak handles of the nodes reach outside, so those
  // are cleared here.
  const int holders = m_weakHolders.count();
  for (int i = 0; i < holders; ++i) clearHandleOf(m_weakHolders.rawAt(i));
  m_weakHolders.clear();
  m_topObject = nullptr;
}

bool _ckJsonDoc::addWeakHolder(_ckJsonBase* node) noexcept {
  return m_weakHolders.insertAt(m_pool, -1, node);
}

void _ckJsonDoc::removeWeakHolder(_ckJsonBase* node) noexcept {
  const int holders = m_weakHolders.count();
  for (int i = 0; i < holders; ++i) {
    if (m_weakHolders.rawAt(i) == node) {
      m_weakHolders.removeAt(i);
      return;
    }
  }
}

void _ckJsonDoc::detachChildren(_ckJsonBase*& doomed) noexcept {
  pushDoomed(doomed, m_topObject);
  m_topObject = nullptr;
}

void _ckJsonDoc::deleteTopObject() noexcept { deleteChildren(); }

bool _ckJsonDoc::resetTopObject() noexcept {
  deleteTopObject();
  m_sourceText.clear();
  m_topObject = newObject();
  return m_topObject != nullptr;
}

_ckJsonObject* _ckJsonDoc::newObject() noexcept {
  return newPooledNode<_ckJsonObject>(m_pool, this);
}

_ckJsonMember* _ckJsonDoc::newMember() noexcept {
  return newPooledNode<_ckJsonMember>(m_pool, this);
}

_ckJsonValue* _ckJsonDoc::newValue(bool quoted) noexcept {
  return newPooledNode<_ckJsonValue>(m_pool, this, quoted);
}

_ckJsonValue* _ckJsonDoc::newArrayValue() noexcept {
  _ckJsonValue* value = newValue(false);
  if (value != nullptr) value->setArrayPayload();
  return value;
}

_ckJsonValue* _ckJsonDoc::newObjectValue() noexcept {
  _ckJsonValue* value = newValue(false);
  if (value == nullptr) return nullptr;
  _ckJsonObject* object = newObject();
  if (object == nullptr) {
    RozazarObject::deleteObject(value);
    return nullptr;
  }
  value->setObjectPayload(object);
  return value;
}

// ---- Object ----

_ckJsonObject::~_ckJsonObject() {
  replaceWeakHandle(nullptr);
  deleteChildren();
}

void _ckJsonObject::detachChildren(_ckJsonBase*& doomed) noexcept {
  doomList(doomed, m_members);
  setFlag(kHasMemberList, false);
}

_ckJsonMember* _ckJsonObject::memberAt(int index) const noexcept {
  return static_cast<_ckJsonMember*>(m_members.getAt(index));
}

int _ckJsonObject::findMember(const char* name, std::uint32_t length) const noexcept {
  const int n = m_members.count();
  for (int i = 0; i < n; ++i) {
    const _ckJsonMember* member = memberAt(i);
    if (member != nullptr && member->nameEquals(name, length)) return i;
  }
  return -1;
}

bool _ckJsonObject::appendMember(_ckJsonMember* member) noexcept {
  if (member != nullptr && !RozazarObject::isValid(member)) return false;
  _ckJsonDoc* doc = document();
  if (doc == nullptr || !m_members.insertAt(doc->pool(), -1, member)) return false;
  setFlag(kHasMemberList, true);
  return true;
}

void _ckJsonObject::removeMemberAt(int index) noexcept {
  _ckJsonBase* member = m_members.removeAt(index);
  if (member != nullptr) RozazarObject::deleteObject(member);
}

bool _ckJsonObject::resetMemberList() noexcept {
  deleteChildren();
  setFlag(kHasMemberList, true);
  return true;
}

// ---- Member ----

_ckJsonMember::_ckJsonMember(_ckJsonDoc* doc) noexcept : _ckJsonBase(kNodeMember, doc) {
  m_form = kNameInline;
  emptyInline(m_name);
}

_ckJsonMember::~_ckJsonMember() {
  freeName();
  deleteChildren();
}

void _ckJsonMember::detachChildren(_ckJsonBase*& doomed) noexcept {
  pushDoomed(doomed, m_value);
  m_value = nullptr;
}

void _ckJsonMember::freeName() noexcept {
  if (m_form == kNameHeap) releaseHeapText(document(), m_name);
  emptyInline(m_name);
  m_form = kNameInline;
}

bool _ckJsonMember::setNameCopy(const char* name, std::uint32_t length) noexcept {
  freeName();
  if (name == nullptr) length = 0;
  std::uint8_t form = kNameInline;
  if (!copyText(document(), m_name, name, length, form)) return false;
  m_form = form;
  return true;
}

void _ckJsonMember::setNameReference(std::uint32_t offset, std::uint32_t length) noexcept {
  freeName();
  m_name.reference.offset = offset;
  m_name.reference.length = length;
  m_form = kNameReference;
}

bool _ckJsonMember::readName(const char*& data, std::uint32_t& length) const noexcept {
  return readJsonText(m_name, m_form, document(), data, length);
}

bool _ckJsonMember::nameEquals(const char* name, std::uint32_t length) const noexcept {
  const char* data = nullptr;
  std::uint32_t n = 0;
  if (!readName(data, n)) return false;
  return n == length && (n == 0 || std::memcmp(data, name, n) == 0);
}

void _ckJsonMember::setValue(_ckJsonValue* value) noexcept {
  if (value == m_value) return;
  _ckJsonValue* old = m_value;
  m_value = value;
  RozazarObject::deleteObject(old);
}

namespace {

// A new member of the document with a copy of the name, or null.
_ckJsonMember* namedMember(_ckJsonDoc* doc, const char* name, std::uint32_t nameLength,
                           bool& nameFailed) noexcept {
  nameFailed = false;
  if (doc == nullptr) return nullptr;
  _ckJsonMember* member = doc->newMember();
  if (member == nullptr) return nullptr;
  if (!member->setNameCopy(name, nameLength)) {
    nameFailed = true;
    RozazarObject::deleteObject(member);
    return nullptr;
  }
  return member;
}

}  // namespace

_ckJsonMember* newObjectMember(_ckJsonDoc* doc, const char* name, std::uint32_t nameLength,
                               LogBase& log) noexcept {
  bool nameFailed = false;
  _ckJsonMember* member = namedMember(doc, name, nameLength, nameFailed);
  if (member == nullptr) {
    if (nameFailed) log.logError("newObjectMember failure (1)");
    return nullptr;
  }
  _ckJsonValue* value = doc->newValue(false);
  if (value == nullptr) {
    log.logError("newObjectMember failure (2)");
    RozazarObject::deleteObject(member);
    return nullptr;
  }
  member->setValue(value);
  _ckJsonObject* object = doc->newObject();
  if (object == nullptr) {
    log.logError("newObjectMember failure (3)");
    value->clearPayload();
    RozazarObject::deleteObject(member);
    return nullptr;
  }
  value->setObjectPayload(object);
  return member;
}

_ckJsonMember* newArrayMember(_ckJsonDoc* doc, const char* name,
                              std::uint32_t nameLength) noexcept {
  bool nameFailed = false;
  _ckJsonMember* member = namedMember(doc, name, nameLength, nameFailed);
  if (member == nullptr) return nullptr;
  _ckJsonValue* value = doc->newArrayValue();
  if (value == nullptr) {
    RozazarObject::deleteObject(member);
    return nullptr;
  }
  member->setValue(value);
  return member;
}

_ckJsonMember* newScalarMember(_ckJsonDoc* doc, const char* name, std::uint32_t nameLength,
                               const char* text, std::uint32_t textLength, bool quoted,
                               LogBase& log) noexcept {
  bool nameFailed = false;
  _ckJsonMember* member = namedMember(doc, name, nameLength, nameFailed);
  if (member == nullptr) return nullptr;
  _ckJsonValue* value = doc->newValue(quoted);
  if (value == nullptr || !value->setValueText(text, textLength, quoted, log)) {
    RozazarObject::deleteObject(value);
    RozazarObject::deleteObject(member);
    return nullptr;
  }
  member->setValue(value);
  return member;
}

// ---- Value ----

_ckJsonValue::_ckJsonValue(_ckJsonDoc* doc, bool quoted) noexcept : _ckJsonBase(kNodeValue, doc) {
  m_form = kPayloadInline;
  setFlag(kQuoted, quoted);
  emptyInline(m_payload.text);
}

_ckJsonValue::~_ckJsonValue() {
  replaceWeakHandle(nullptr);
  clearPayload();
  clearSignature(m_valueSignature);
}

void _ckJsonValue::detachChildren(_ckJsonBase*& doomed) noexcept {
  if (m_form == kPayloadArray) {
    doomList(doomed, m_payload.items);
  } else if (m_form == kPayloadObject) {
    pushDoomed(doomed, m_payload.object);
  } else {
    return;
  }
  emptyInline(m_payload.text);
  m_form = kPayloadInline;
}

void _ckJsonValue::clearPayload() noexcept {
  if (m_form == kPayloadHeap) {
    releaseHeapText(document(), m_payload.text);
  } else if (m_form >= kPayloadArray) {
    deleteChildren();
  }
  emptyInline(m_payload.text);
  m_form = kPayloadInline;
}

bool _ckJsonValue::setValueText(const char* text, std::uint32_t length, bool quoted,
                                LogBase&) noexcept {
  if (!isLive(this)) return false;
  clearPayload();
  setFlag(kQuoted, quoted);
  if (text == nullptr) length = 0;
  std::uint8_t form = kPayloadInline;
  if (!copyText(document(), m_payload.text, text, length, form)) return false;
  m_form = form;
  return true;
}

void _ckJsonValue::setTextReference(std::uint32_t offset, std::uint32_t length) noexcept {
  clearPayload();
  m_payload.text.reference.offset = offset;
  m_payload.text.reference.length = length;
  m_form = kPayloadReference;
}

bool _ckJsonValue::readText(const char*& data, std::uint32_t& length) const noexcept {
  if (!isLive(this)) return false;
  return readJsonText(m_payload.text, m_form, document(), data, length);
}

int _ckJsonValue::itemCount() const noexcept {
  const JsonNodeList* list = items();
  return list != nullptr ? list->count() : 0;
}

_ckJsonBase* _ckJsonValue::itemAt(int index) const noexcept {
  const JsonNodeList* list = items();
  return list != nullptr ? list->getAt(index) : nullptr;
}

bool _ckJsonValue::ensureArray() noexcept { return isLive(this) && isArray(); }

bool _ckJsonValue::addAt(int index, _ckJsonBase* item) noexcept {
  if (item == nullptr || !RozazarObject::isValid(item) || !ensureArray()) return false;
  _ckJsonDoc* doc = document();
  return doc != nullptr && m_payload.items.insertAt(doc->pool(), index, item);
}

void _ckJsonValue::setArrayPayload() noexcept {
  clearPayload();
  m_payload.items.clear();
  m_form = kPayloadArray;
}

void _ckJsonValue::setObjectPayload(_ckJsonObject* object) noexcept {
  clearPayload();
  m_payload.object = object;
  m_form = kPayloadObject;
}

}  // namespace rozazar
