#include "json/internal/ClsBase.h"

#include <atomic>

#include "foundation/object/LogBase.h"
#include "foundation/object/RozazarCritSec.h"

namespace rozazar {

namespace {
std::atomic<bool> g_verboseProgress{false};
}  // namespace

bool verboseProgress() noexcept { return g_verboseProgress.load(); }

ClsBase::ClsBase() noexcept = default;

ClsBase::~ClsBase() { clearSignature(m_baseSignature); }

bool ClsBase::toText(XString& out) noexcept {
  out.clear();
  return false;
}

void ClsBase::logSuccessFailure(const char* context, bool success) noexcept {
  if (!isLive(this)) return;
  LogContextExitor guard(m_log, context);
  if (success) {
    m_log.logInfo("Success.");
  } else {
    m_log.logError("Failed.");
  }
}

void ClsBase::logErrorInContext(const char* context, const char* text) noexcept {
  if (!isLive(this)) return;
  LogContextExitor guard(m_log, context);
  m_log.logError(text);
}

void ClsBase::setUncommonOptions(const char* options) noexcept {
  if (!isLive(this)) return;
  m_uncommonOptions.setFromUtf8(options);
  if (m_uncommonOptions.containsUtf8("SingleThreaded")) {
    setSingleThreaded(true);
  } else if (m_uncommonOptions.containsUtf8("MultiThreaded")) {
    setSingleThreaded(false);
  }
  if (m_uncommonOptions.containsUtf8("VerboseProgress")) g_verboseProgress.store(true);
}

bool ClsBase::verboseLogging() const noexcept { return isLive(this) && m_verboseLogging != 0; }

void ClsBase::setVerboseLogging(bool on) noexcept {
  if (!isLive(this)) return;
  m_verboseLogging = on ? 1 : 0;
  m_log.setVerbose(on);
}

void ClsBase::noOperation() noexcept {}

bool ClsBase::debugLogFilePath(XString& out) noexcept {
  out.clear();
  if (!isLive(this)) return false;
  return out.copyFrom(m_debugLogFilePath);
}

void ClsBase::setDebugLogFilePath(const char* path) noexcept {
  if (!isLive(this)) return;
  if (path == nullptr || *path == '\0') {
    m_debugLogFilePath.clear();
    m_log.setDebugLogFilePath(nullptr);
    return;
  }
  m_debugLogFilePath.setFromUtf8(path);
  m_log.setDebugLogFilePath(path);
}

}  // namespace rozazar
