#include "log/TreeLogger.h"

#include <cstdio>

#include "foundation/file/FileAccess.h"
#include "foundation/platform/Platform.h"
#include "log/ContextTree.h"
#include "log/LogEntry2.h"

namespace rozazar {

namespace {

constexpr char kDefaultLogName[] = "RozazarLog";

std::uint32_t systemTicks() { return platform::tickCount(); }

}  // namespace

_ckLogger::_ckLogger() noexcept : m_tickSource(&systemTicks) {
  m_logName.setFromUtf8(kDefaultLogName);
}

_ckLogger::~_ckLogger() {
  CritSecExitor lock(this);
  RozazarObject::deleteObject(m_errorLog);
  m_errorLog = nullptr;
  RozazarObject::deleteObject(m_debugLogPath);
  m_debugLogPath = nullptr;
}

_ckErrorLog* _ckLogger::errorLog() noexcept {
  if (m_errorLog == nullptr) m_errorLog = _ckErrorLog::createNew(logName());
  return m_errorLog;
}

void _ckLogger::renderText(StringBuffer& out) {
  CritSecExitor lock(this);
  out.clear();
  if (errorLog() != nullptr) m_errorLog->root()->renderText(out, 0);
}

void _ckLogger::renderXml(StringBuffer& out) {
  CritSecExitor lock(this);
  out.clear();
  if (errorLog() != nullptr) m_errorLog->root()->renderXml(out, 0);
}

void _ckLogger::renderHtml(StringBuffer& out) {
  CritSecExitor lock(this);
  out.clear();
  if (errorLog() != nullptr) m_errorLog->root()->renderHtml(out);
}

bool _ckLogger::saveXml(const char*, const char* path) {
  CritSecExitor lock(this);
  StringBuffer xml;
  renderXml(xml);
  // A failure is explained in this log itself (after the rendering).
  return writeWholeFile(path, xml.text(), xml.length(), this);
}

bool _ckLogger::clear() {
  CritSecExitor lock(this);
  if (errorLog() == nullptr) return false;
  if (!m_errorLog->reset(logName())) return false;
  m_unrecordedContexts = 0;
  m_depth = 0;
  return true;
}

bool _ckLogger::addEntry(char kind, const char* name, const char* value) {
  if (errorLog() == nullptr) return false;
  // Entries of a context that was not recorded are dropped with it.
  if (m_unrecordedContexts != 0) return true;
  LogEntry2* current = m_errorLog->current();
  if (current->childCount() >= LogEntry2::kMaxChildren) return true;
  LogEntry2* entry = LogEntry2::createEntry(kind, name, value);
  if (entry == nullptr) return true;
  if (!current->addChild(entry)) RozazarObject::deleteObject(entry);
  return true;
}

bool _ckLogger::logError(const char* text) {
  CritSecExitor lock(this);
  if (isSuppressed()) return true;
  if (text == nullptr) text = "(NULL)";
  const bool ok = addEntry(LogEntry2::kError, nullptr, text);
  StringBuffer line;
  appendIndent(line);
  line.appendTwo(text, "\n");
  writeDebug(line);
  return ok;
}

bool _ckLogger::logInfo(const char* text) {
  CritSecExitor lock(this);
  if (isSuppressed()) return true;
  if (text == nullptr) text = "(NULL)";
  const bool ok = addEntry(LogEntry2::kInfo, nullptr, text);
  StringBuffer line;
  appendIndent(line);
  line.appendTwo(text, "\n");
  writeDebug(line);
  return ok;
}

bool _ckLogger::logRaw(const char* text) {
  CritSecExitor lock(this);
  if (isSuppressed()) return true;
  return addEntry(LogEntry2::kRaw, nullptr, text != nullptr ? text : "(NULL)");
}

bool _ckLogger::logData(const char* name, const char* value) {
  CritSecExitor lock(this);
  if (isSuppressed()) return true;
  StringBuffer cleanName(name);
  cleanName.trimSpace();
  cleanName.replaceAllChar(' ', '_');
  if (cleanName.isEmpty()) return false;
  if (value == nullptr) value = "(NULL)";
  const bool ok = addEntry(LogEntry2::kNameValue, cleanName.text(), value);
  StringBuffer line;
  appendIndent(line);
  line.appendTwo(cleanName.text(), ": ");
  line.appendTwo(value, "\r\n");
  writeDebug(line);
  return ok;
}

bool _ckLogger::enterContext(const char* name, bool timed) {
  CritSecExitor lock(this);
  if (isSuppressed()) return true;
  if (errorLog() == nullptr) return false;
  if (name == nullptr) name = "(NULL)";

  LogEntry2* current = m_errorLog->current();
  bool recorded = false;
  if (m_unrecordedContexts == 0 && m_errorLog->openCount() < kMaxOpenContexts &&
      current->childCount() < LogEntry2::kMaxChildren) {
    const bool isTimed = timed && this->isTimed();
    LogEntry2* context = LogEntry2::createContext(name, isTimed, isTimed ? m_tickSource() : 0);
    if (context != nullptr && current->addChild(context)) {
      // The stack's slot array exists (the root is in it); should growing it
      // fail, the context stays in the tree but is not opened.
      recorded = m_errorLog->push(context);
    } else {
      RozazarObject::deleteObject(context);
    }
  }
  if (!recorded) ++m_unrecordedContexts;

  StringBuffer line;
  appendIndent(line);
  line.appendTwo(name, ":\n");
  writeDebug(line);
  ++m_depth;
  return true;
}

bool _ckLogger::leaveContext() {
  CritSecExitor lock(this);
  if (isSuppressed()) return true;
  if (errorLog() == nullptr) return false;

  std::uint32_t milliseconds = 0;
  if (m_unrecordedContexts != 0) {
    --m_unrecordedContexts;
  } else if (LogEntry2* left = m_errorLog->pop()) {
    if (left->isTimed()) {
      left->finishTiming(m_tickSource());
      milliseconds = left->durationMs();
    }
    // An empty context below the first level leaves no trace.
    if (m_errorLog->openCount() >= 2) {
      LogEntry2* parent = m_errorLog->current();
      const LogEntry2* last = parent->lastChild();
      if (last != nullptr && last->isContext() && last->childCount() == 0)
        parent->deleteLastChild();
    }
  }

  StringBuffer line;
  appendIndent(line);
  if (isTimed() && milliseconds != 0) {
    line.appendText("(leaveContext ");
    line.appendUInt32(milliseconds);
    line.appendText("ms)\n");
  } else {
    line.appendText("(leaveContext)\n");
  }
  writeDebug(line);
  if (m_depth > 0) --m_depth;
  return true;
}

bool _ckLogger::debugLine(const char* text) {
  CritSecExitor lock(this);
  StringBuffer line(text);
  line.appendChar('\n');
  writeDebug(line);
  return true;
}

bool _ckLogger::debugData(const char* name, const char* value) {
  CritSecExitor lock(this);
  StringBuffer line;
  appendIndent(line);
  line.appendTwo(name, ": ");
  line.appendTwo(value != nullptr ? value : "(NULL)", "\r\n");
  writeDebug(line);
  return true;
}

bool _ckLogger::debugDataInt(const char* name, std::int32_t value) {
  StringBuffer text;
  text.appendInt32(value);
  return debugData(name, text.text());
}

bool _ckLogger::setLogName(const char* name) {
  CritSecExitor lock(this);
  return m_logName.setFromUtf8(name != nullptr && *name != '\0' ? name : kDefaultLogName);
}

const char* _ckLogger::logName() noexcept {
  const char* name = m_logName.getUtf8();
  return name != nullptr && *name != '\0' ? name : kDefaultLogName;
}

bool _ckLogger::setDebugLogFilePath(const char* path) {
  CritSecExitor lock(this);
  if (path == nullptr || *path == '\0') {
    RozazarObject::deleteObject(m_debugLogPath);
    m_debugLogPath = nullptr;
    return true;
  }
  if (m_debugLogPath == nullptr) m_debugLogPath = XString::createNew();
  return m_debugLogPath != nullptr && m_debugLogPath->setFromUtf8(path);
}

void _ckLogger::setTickSource(TickSource source) {
  CritSecExitor lock(this);
  m_tickSource = source != nullptr ? source : &systemTicks;
}

void _ckLogger::appendIndent(StringBuffer& line) const noexcept {
  line.appendCharRun(' ', static_cast<std::size_t>(m_depth) * 4);
}

void _ckLogger::writeDebug(const StringBuffer& line) noexcept {
  if (m_debugLogPath == nullptr || line.isEmpty()) return;
  const char* path = m_debugLogPath->getUtf8();
  if (path == nullptr || *path == '\0') return;
  // Opened, written and closed for every line, so that the file holds every
  // line even when the process dies. Its own failures are not logged (they
  // would come back here) and an unopenable file is skipped.
  LogNull quiet;
  int errorClass = 0;
  RozazarHandle* file =
      openFileWin32(path, true, true, false, false, true, false, errorClass, &quiet);
  if (file == nullptr) return;
  writeBytes(*file, line.text(), line.length(), &quiet);
  delete file;
}

}  // namespace rozazar
