#include "foundation/object/LogBase.h"

#include <cstdio>

#include "foundation/object/Signature.h"
#include "foundation/platform/Platform.h"
#include "foundation/text/StringBuffer.h"

namespace rozazar {

const char* storedMessageText(StoredMessage message) noexcept {
  switch (message) {
    case StoredMessage::kOutOfMemory:
      return "Out of memory.";
    case StoredMessage::kInvalidObject:
      return "The object is no longer valid.";
    case StoredMessage::kNullArgument:
      return "A required argument is null.";
    case StoredMessage::kInternalError:
      return "Internal error.";
    case StoredMessage::kOperationFailed:
      return "The operation failed.";
    case StoredMessage::kOperationSucceeded:
      return "The operation succeeded.";
  }
  return "";
}

LogBase::~LogBase() = default;

void LogBase::renderXml(StringBuffer&) {}
void LogBase::renderHtml(StringBuffer&) {}
void LogBase::renderText(StringBuffer&) {}
bool LogBase::saveXml(const char*, const char*) { return true; }
bool LogBase::logError(const char*) { return true; }
bool LogBase::logInfo(const char*) { return true; }
bool LogBase::logRaw(const char*) { return true; }
bool LogBase::clear() { return true; }
bool LogBase::enterContext(const char*, bool) { return true; }
bool LogBase::leaveContext() { return true; }
bool LogBase::logData(const char*, const char*) { return true; }
bool LogBase::debugLine(const char*) { return true; }
bool LogBase::debugData(const char*, const char*) { return true; }
bool LogBase::debugDataInt(const char*, std::int32_t) { return true; }

bool LogBase::logDataBool(const char* name, bool value) {
  if (isSuppressed()) return true;
  return logData(name, value ? "True" : "False");
}

bool LogBase::logDataInt(const char* name, std::int32_t value) {
  if (isSuppressed()) return true;
  StringBuffer text;
  text.appendInt32(value);
  return logData(name, text.text());
}

bool LogBase::logDataUInt(const char* name, std::uint32_t value) {
  if (isSuppressed()) return true;
  StringBuffer text;
  text.appendUInt32(value);
  return logData(name, text.text());
}

bool LogBase::logDataInt64(const char* name, std::int64_t value) {
  if (isSuppressed()) return true;
  StringBuffer text;
  text.appendInt64(value);
  return logData(name, text.text());
}

bool LogBase::logDataBuffer(const char* name, const StringBuffer& value) {
  if (isSuppressed()) return true;
  return logData(name, value.text());
}

bool LogBase::logLastWindowsError() {
  // Taken first: anything called afterwards may change the last error.
  const std::uint32_t code = platform::lastSystemError();
  if (isSuppressed()) return true;
  StringBuffer text;
  text.appendSystemErrorText(code);
  logData("WindowsError", text.text());
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%x", static_cast<unsigned>(code));
  return logData("WindowsErrorCode", hex);
}

bool LogBase::logWindowsError(std::uint32_t code) {
  if (isSuppressed() || code == 0) return true;
  StringBuffer text;
  text.appendSystemErrorText(code);
  return logData("WindowsError", text.text());
}

bool LogBase::logStoredError(StoredMessage message) {
  if (isSuppressed()) return true;
  return logError(storedMessageText(message));
}

bool LogBase::logStoredInfo(StoredMessage message) {
  if (isSuppressed()) return true;
  return logInfo(storedMessageText(message));
}

void LogBase::pushSuppressed(bool on) noexcept {
  if (m_suppressionCount >= kSuppressionDepth) return;
  m_suppressionStack[m_suppressionCount++] = m_suppressed;
  m_suppressed = on ? 1 : 0;
}

void LogBase::popSuppressed() noexcept {
  if (m_suppressionCount <= 0) return;
  m_suppressed = m_suppressionStack[--m_suppressionCount];
}

LogNull::~LogNull() = default;

LogContextExitor::LogContextExitor(LogBase& log, const char* name) noexcept : m_log(&log) {
  m_log->enterContext(name, true);
}

LogContextExitor::LogContextExitor(LogBase& log, const char* name, bool enabled) noexcept
    : m_log(enabled ? &log : nullptr) {
  if (m_log != nullptr) m_log->enterContext(name, true);
}

LogContextExitor::~LogContextExitor() {
  if (m_log != nullptr) m_log->leaveContext();
  m_log = nullptr;
  clearSignature(m_exitorSignature);
}

}  // namespace rozazar
