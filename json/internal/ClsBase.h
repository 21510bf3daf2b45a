// The common base of implementation objects: a critical section and a
// reference count (from RefCountedObject), an in-memory log, the verbose
// flag and the flag that says whether the last call succeeded.
#pragma once

#include <cstdint>

#include "foundation/object/RefCountedObject.h"
#include "foundation/object/Signature.h"
#include "foundation/text/XString.h"
#include "log/TreeLogger.h"

namespace rozazar {

class ClsBase : public RefCountedObject {
 public:
  static constexpr std::uint32_t kBaseSignature = 0x991144AAu;

  ClsBase() noexcept;
  ClsBase(const ClsBase&) = delete;
  ClsBase& operator=(const ClsBase&) = delete;

  // True when obj is non-null and alive.
  ROZAZAR_SIGNATURE_CHECK static bool isLive(const ClsBase* obj) noexcept {
    return obj != nullptr && obj->m_baseSignature == kBaseSignature;
  }

  // The object's text form; the base has none (empty, false).
  virtual bool toText(XString& out) noexcept;
  // "Success." as information or "Failed." as an error, inside a context.
  virtual void logSuccessFailure(const char* context, bool success) noexcept;
  virtual void logErrorInContext(const char* context, const char* text) noexcept;
  // Keeps an option text; "SingleThreaded" / "MultiThreaded" switch the
  // process-wide locking, "VerboseProgress" turns verbose progress on.
  virtual void setUncommonOptions(const char* options) noexcept;
  virtual bool verboseLogging() const noexcept;
  virtual void setVerboseLogging(bool on) noexcept;
  virtual void noOperation() noexcept;
  // The debug log file path that the log echoes to; empty when none.
  virtual bool debugLogFilePath(XString& out) noexcept;
  // An empty path stops the echo.
  virtual void setDebugLogFilePath(const char* path) noexcept;

  _ckLogger& log() noexcept { return m_log; }
  bool lastCallSucceeded() const noexcept { return m_lastCallSucceeded != 0; }
  void setLastCallSucceeded(bool on) noexcept { m_lastCallSucceeded = on ? 1 : 0; }

 protected:
  ~ClsBase() override;
  // Marks the object dead; derived destructors call it once their own
  // clean-up is done.
  void clearBaseSignature() noexcept { clearSignature(m_baseSignature); }

 private:
  _ckLogger m_log;
  std::uint8_t m_verboseLogging = 0;
  std::uint32_t m_baseSignature = kBaseSignature;
  std::uint8_t m_lastCallSucceeded = 1;
  XString m_uncommonOptions;
  XString m_debugLogFilePath;
};

// Whether progress reporting is verbose, process-wide.
bool verboseProgress() noexcept;

}  // namespace rozazar
