#include "json/internal/ClsJsonObject.h"

#include "foundation/containers/DataBuffer.h"
#include "foundation/file/FileAccess.h"
#include "foundation/object/Allocation.h"
#include "foundation/object/LogBase.h"
#include "foundation/object/RozazarCritSec.h"
#include "foundation/text/StringBuffer.h"
#include "foundation/text/XString.h"
#include "json/internal/JsonEmitter.h"
#include "json/internal/JsonNodes.h"
#include "json/internal/JsonParser.h"

namespace rozazar {

const char* const kJsonEngineVersion = "1.0.0.1";

namespace {

// Texts of this many UTF-8 bytes or more are never taken for file paths.
constexpr std::size_t kMaxPathBytes = 512;

// The first lines of every logged operation: the cleared log, the
// operation's context and the version.
class OperationEntry {
 public:
  OperationEntry(ClsBase& object, const char* context) noexcept
      : m_lock(&object), m_cleared(object.log().clear()), m_context(object.log(), context) {
    object.log().logData("version", kJsonEngineVersion);
  }

 private:
  CritSecExitor m_lock;
  bool m_cleared;
  LogContextExitor m_context;
};

void logResult(LogBase& log, bool success) {
  if (success) {
    log.logInfo("Success.");
  } else {
    log.logError("Failed.");
  }
}

}  // namespace

// ---- Document link ----

_clsJsonMixin::~_clsJsonMixin() { dropDocument(); }

void _clsJsonMixin::dropDocument() noexcept {
  if (m_topRef != nullptr) {
    m_topRef->release();
    m_topRef = nullptr;
  }
  if (m_docRef == nullptr) return;
  void* doc = m_docRef->lockTarget();
  if (doc != nullptr) {
    if (m_docRef->refCount() == 1) {
      m_docRef->setTarget(nullptr);
      RozazarObject::deleteObject(static_cast<_ckJsonDoc*>(doc));
    }
    m_docRef->unlockTarget();
  }
  m_docRef->release();
  m_docRef = nullptr;
}

bool _clsJsonMixin::referenceTopObject(_ckJsonDoc& doc) noexcept {
  if (m_topRef != nullptr) {
    m_topRef->release();
    m_topRef = nullptr;
  }
  _ckJsonObject* top = doc.topObject();
  if (top == nullptr) return false;
  m_topRef = _ckWeakPtr::create(top);
  if (m_topRef == nullptr) return false;
  if (!top->setWeakHandle(m_topRef)) {
    // An unregistered reference would not learn of the object's death.
    m_topRef->release();
    m_topRef = nullptr;
    return false;
  }
  return true;
}

bool _clsJsonMixin::ensureDocument() noexcept {
  if (m_docRef != nullptr) return true;
  _ckJsonDoc* doc = _ckJsonDoc::createNew();
  if (doc == nullptr) return false;
  if (!doc->resetTopObject()) {
    RozazarObject::deleteObject(doc);
    return false;
  }
  m_docRef = _ckWeakPtr::create(doc);
  if (m_docRef == nullptr) {
    RozazarObject::deleteObject(doc);
    return false;
  }
  if (!referenceTopObject(*doc)) {
    dropDocument();
    return false;
  }
  return true;
}

// ---- Implementation object ----

ClsJsonObject* ClsJsonObject::createNew() noexcept {
  ClsJsonObject* object = newObject<ClsJsonObject>();
  if (object != nullptr) object->addRef();
  return object;
}

ClsJsonObject::~ClsJsonObject() {
  CritSecExitor lock(this);
  delete m_pathHead;
  m_pathHead = nullptr;
  dropDocument();
  clearBaseSignature();
}

JsonPathOptions ClsJsonObject::pathSettings() const noexcept {
  JsonPathOptions settings;
  settings.separator = m_pathSeparator;
  settings.indexI = m_pathIndexI;
  settings.indexJ = m_pathIndexJ;
  settings.indexK = m_pathIndexK;
  return settings;
}

bool ClsJsonObject::Load(XString& text) noexcept {
  if (!isLive(this)) return false;
  bool uncertain = false;
  const char* utf8 = text.getUtf8();
  const bool isPath = utf8 != nullptr && text.sizeUtf8() < kMaxPathBytes &&
                      !text.containsUtf8("{") && fileExists(utf8, uncertain, nullptr);
  DataBuffer buffer;
  if (isPath) {
    OperationEntry entry(*this, "LoadFile");
    if (!buffer.loadFile(utf8, &log())) {
      // A file that can't be read leaves the interface empty.
      dropDocument();
      return false;
    }
    const bool ok = loadFromBuffer(buffer, log());
    logResult(log(), ok);
    return ok;
  }
  OperationEntry entry(*this, "Load");
  bool ok = utf8 == nullptr || buffer.appendBytes(utf8, text.sizeUtf8());
  ok = ok && loadFromBuffer(buffer, log());
  if (!ok && m_docRef != nullptr) dropDocument();
  logResult(log(), ok);
  return ok;
}

bool ClsJsonObject::loadFromBuffer(DataBuffer& buffer, LogBase& log) noexcept {
  if (m_docRef == nullptr) {
    _ckJsonDoc* fresh = _ckJsonDoc::createNew();
    if (fresh == nullptr) return false;
    m_docRef = _ckWeakPtr::create(fresh);
    if (m_docRef == nullptr) {
      RozazarObject::deleteObject(fresh);
      return false;
    }
  }
  auto* doc = static_cast<_ckJsonDoc*>(m_docRef->lockTarget());
  if (doc == nullptr) return false;
  auto* target =
      m_topRef != nullptr ? static_cast<_ckJsonObject*>(m_topRef->lockTarget()) : nullptr;

  bool ok = target == nullptr || target->resetMemberList();
  ok = ok && parseJsonDoc(*doc, buffer, true, target, log);
  if (ok && doc->topObject() == nullptr) {
    log.logError("No top JSON object.");
    ok = false;
  }
  if (target != nullptr) {
    m_topRef->unlockTarget();
  } else if (ok) {
    ok = referenceTopObject(*doc);
  }
  m_docRef->unlockTarget();
  if (!ok) dropDocument();
  return ok;
}

bool ClsJsonObject::emitTopObject(StringBuffer& out, LogBase& log) noexcept {
  if (!ensureDocument()) {
    if (log.isVerbose()) log.logError("Failed to check/init new doc.");
    return false;
  }
  auto* top = m_topRef != nullptr ? static_cast<_ckJsonObject*>(m_topRef->lockTarget()) : nullptr;
  if (top == nullptr) {
    log.logError("Internal Error: Failed to lock JSON object.");
    return false;
  }
  EmitOptions options;
  options.compact = m_compactOutput;
  options.crLf = m_useCrLf;
  const bool ok = emitObject(*top, out, options);
  m_topRef->unlockTarget();
  return ok;
}

bool ClsJsonObject::Emit(XString& out) noexcept {
  if (!isLive(this)) return true;
  OperationEntry entry(*this, "Emit");
  out.clear();
  if (!ensureDocument()) return true;
  StringBuffer* buffer = out.getUtf8BufferForEdit();
  const bool ok = buffer != nullptr && emitTopObject(*buffer, log());
  logResult(log(), ok);
  if (!ok) out.clear();
  return true;
}

bool ClsJsonObject::update(const char* context, XString& path, const char* text,
                           bool quoted) noexcept {
  if (!isLive(this)) return false;
  OperationEntry entry(*this, context);
  if (!ensureDocument()) return false;
  StringBuffer fullPath;
  if (m_pathHead != nullptr && !fullPath.appendBuffer(*m_pathHead)) return false;
  const char* pathText = path.getUtf8();
  if (pathText == nullptr || !fullPath.appendText(pathText)) return false;
  return setPathValue(m_topRef, fullPath.text(), text, true, quoted, pathSettings(), log());
}

bool ClsJsonObject::UpdateString(XString& path, XString& text) noexcept {
  const char* value = text.getUtf8();
  if (value == nullptr) return false;
  return update("UpdateString", path, value, true);
}

bool ClsJsonObject::UpdateInt(XString& path, std::int32_t value) noexcept {
  StringBuffer number;
  if (!number.appendInt32(value)) return false;
  return update("UpdateInt", path, number.text(), false);
}

int ClsJsonObject::memberCount() noexcept {
  if (!isLive(this)) return 0;
  CritSecExitor lock(this);
  if (m_topRef == nullptr) return 0;
  auto* top = static_cast<_ckJsonObject*>(m_topRef->lockTarget());
  if (top == nullptr) return 0;
  const int count = top->memberCount();
  m_topRef->unlockTarget();
  return count;
}

bool ClsJsonObject::toText(XString& out) noexcept {
  if (!isLive(this)) return false;
  CritSecExitor lock(this);
  out.clear();
  if (!ensureDocument()) return false;
  StringBuffer* buffer = out.getUtf8BufferForEdit();
  LogNull quiet;
  return buffer != nullptr && emitTopObject(*buffer, quiet);
}

}  // namespace rozazar
