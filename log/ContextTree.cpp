#include "log/ContextTree.h"

#include "foundation/object/Allocation.h"
#include "log/LogEntry2.h"

namespace rozazar {

_ckErrorLog::~_ckErrorLog() {
  RozazarObject::deleteObject(m_contexts.getAt(0));
  m_contexts.clearWithoutDelete();
}

_ckErrorLog* _ckErrorLog::createNew(const char* rootName) noexcept {
  _ckErrorLog* log = newObject<_ckErrorLog>();
  if (log == nullptr) return nullptr;
  if (!log->reset(rootName)) {
    delete log;
    return nullptr;
  }
  return log;
}

LogEntry2* _ckErrorLog::root() const noexcept {
  return static_cast<LogEntry2*>(m_contexts.getAt(0));
}

LogEntry2* _ckErrorLog::current() const noexcept {
  return static_cast<LogEntry2*>(m_contexts.last());
}

bool _ckErrorLog::push(LogEntry2* context) noexcept {
  if (context == nullptr || !context->isContext()) return false;
  return m_contexts.append(context);
}

LogEntry2* _ckErrorLog::pop() noexcept {
  if (m_contexts.count() < 2) return nullptr;
  return static_cast<LogEntry2*>(m_contexts.popLast());
}

bool _ckErrorLog::reset(const char* rootName) noexcept {
  LogEntry2* root = LogEntry2::createContext(rootName, false, 0);
  if (root == nullptr) return false;
  RozazarObject::deleteObject(m_contexts.getAt(0));
  m_contexts.clearWithoutDelete();
  if (!m_contexts.append(root)) {
    // Room for one slot was there before; only a first allocation can fail.
    RozazarObject::deleteObject(root);
    return false;
  }
  return true;
}

}  // namespace rozazar
