// The in-memory tree log: contexts and entries kept as a tree, rendered on
// demand as indented text, XML or HTML, and optionally echoed line by line to
// a debug log file. Every operation holds the log's own critical section, so
// one log may be written from several threads (their contexts interleave).
#pragma once

#include <cstdint>

#include "foundation/object/LogBase.h"
#include "foundation/object/RozazarCritSec.h"
#include "foundation/text/StringBuffer.h"
#include "foundation/text/XString.h"

namespace rozazar {

class LogEntry2;
class _ckErrorLog;

class _ckLogger : public LogBase, public RozazarCritSec {
 public:
  // Open contexts at most; deeper ones are not recorded, so that rendering and
  // deleting the tree never recurse deeper than this.
  static constexpr int kMaxOpenContexts = 500;

  using TickSource = std::uint32_t (*)();

  _ckLogger() noexcept;
  ~_ckLogger() override;

  void renderXml(StringBuffer& out) override;
  void renderHtml(StringBuffer& out) override;
  void renderText(StringBuffer& out) override;
  bool saveXml(const char* ignored, const char* path) override;
  bool logError(const char* text) override;
  bool logInfo(const char* text) override;
  bool logRaw(const char* text) override;
  bool clear() override;
  bool enterContext(const char* name, bool timed) override;
  bool leaveContext() override;
  bool logData(const char* name, const char* value) override;
  bool debugLine(const char* text) override;
  bool debugData(const char* name, const char* value) override;
  bool debugDataInt(const char* name, std::int32_t value) override;

  // The name of the root context ("RozazarLog" at construction); takes effect
  // at the next clear.
  bool setLogName(const char* name);
  // The UTF-8 path of the debug log file; null or empty stops the echo.
  bool setDebugLogFilePath(const char* path);
  // The clock of timed contexts (the system's tick count unless replaced).
  void setTickSource(TickSource source);

 private:
  // The tree, created on first use; null when that fails.
  _ckErrorLog* errorLog() noexcept;
  // The log's name as UTF-8 ("RozazarLog" should it be unavailable).
  const char* logName() noexcept;
  bool addEntry(char kind, const char* name, const char* value);
  // Appends a line to the debug log file, if one is set.
  void writeDebug(const StringBuffer& line) noexcept;
  void appendIndent(StringBuffer& line) const noexcept;

  _ckErrorLog* m_errorLog = nullptr;
  std::int32_t m_depth = 0;
  // Absent while no debug log file is set.
  XString* m_debugLogPath = nullptr;
  XString m_logName;
  // Contexts entered but not recorded (full parent, too deep, out of memory):
  // their leaveContext calls must not close recorded contexts.
  std::uint32_t m_unrecordedContexts = 0;
  TickSource m_tickSource;
};

}  // namespace rozazar
