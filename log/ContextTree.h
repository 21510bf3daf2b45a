// The tree of one log: the root context and the stack of open contexts.
#pragma once

#include "foundation/containers/ExtPtrArray.h"
#include "foundation/object/RozazarObject.h"

namespace rozazar {

class LogEntry2;

class _ckErrorLog : public RozazarObject {
 public:
  _ckErrorLog() noexcept = default;
  _ckErrorLog(const _ckErrorLog&) = delete;
  _ckErrorLog& operator=(const _ckErrorLog&) = delete;
  // Deletes the root and with it the whole tree.
  ~_ckErrorLog() override;

  // A new tree whose root context has the given name, or null.
  static _ckErrorLog* createNew(const char* rootName) noexcept;

  LogEntry2* root() const noexcept;
  // The innermost open context (the root when none is open).
  LogEntry2* current() const noexcept;
  // Open contexts, the root included.
  int openCount() const noexcept { return m_contexts.count(); }
  // Opens context, which must already be stored in the current context.
  bool push(LogEntry2* context) noexcept;
  // Closes the innermost context; the root is never closed. Returns the
  // closed context (still owned by its parent) or null.
  LogEntry2* pop() noexcept;
  // Replaces the whole tree by a new root; false (tree kept) when out of
  // memory.
  bool reset(const char* rootName) noexcept;

 private:
  // Element 0 is the root (owned); the others belong to their parents.
  ExtPtrArray m_contexts;
};

}  // namespace rozazar
