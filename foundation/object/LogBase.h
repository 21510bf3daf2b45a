// The log that every fallible operation of the foundation and the JSON model
// writes to: nested named contexts, error and information lines, named
// values. LogBase's own operations accept everything and keep nothing, so a
// LogBase (or LogNull) is the log to pass when no report is wanted; the
// in-memory tree log overrides them.
#pragma once

#include <cstdint>

namespace rozazar {

class StringBuffer;
class XString;

// Fixed messages that callers log by identity instead of by text.
enum class StoredMessage : std::uint8_t {
  kOutOfMemory,
  kInvalidObject,
  kNullArgument,
  kInternalError,
  kOperationFailed,
  kOperationSucceeded,
};

// The plain text of a stored message.
const char* storedMessageText(StoredMessage message) noexcept;

class LogBase {
 public:
  static constexpr int kSuppressionDepth = 64;

  LogBase() noexcept = default;
  LogBase(const LogBase&) = delete;
  LogBase& operator=(const LogBase&) = delete;
  virtual ~LogBase();

  // Rendering clears out first; the base renders nothing.
  virtual void renderXml(StringBuffer& out);
  virtual void renderHtml(StringBuffer& out);
  virtual void renderText(StringBuffer& out);
  virtual bool saveXml(const char* ignored, const char* path);
  virtual bool logError(const char* text);
  virtual bool logInfo(const char* text);
  // A text entry that is not echoed to a debug file.
  virtual bool logRaw(const char* text);
  virtual bool clear();
  virtual bool enterContext(const char* name, bool timed);
  virtual bool leaveContext();
  virtual bool logData(const char* name, const char* value);
  // Lines for the debug log file only.
  virtual bool debugLine(const char* text);
  virtual bool debugData(const char* name, const char* value);
  virtual bool debugDataInt(const char* name, std::int32_t value);

  // Typed values, written through logData (nothing while suppressed).
  bool logDataBool(const char* name, bool value);
  bool logDataInt(const char* name, std::int32_t value);
  bool logDataUInt(const char* name, std::uint32_t value);
  bool logDataInt64(const char* name, std::int64_t value);
  bool logDataBuffer(const char* name, const StringBuffer& value);
  // The UTF-8 text of value (defined with XString); false for an invalid one.
  bool logDataXString(const char* name, const XString& value);
  // "WindowsError" (the system's text) and "WindowsErrorCode" ("0x%x") for
  // the calling thread's last error.
  bool logLastWindowsError();
  // "WindowsError" with the system's text for code; nothing for code 0.
  bool logWindowsError(std::uint32_t code);
  bool logStoredError(StoredMessage message);
  bool logStoredInfo(StoredMessage message);

  bool isSuppressed() const noexcept { return m_suppressed != 0; }
  void setSuppressed(bool on) noexcept { m_suppressed = on ? 1 : 0; }
  // Saves the current suppression and sets a new one; ignored when 64 are
  // saved already.
  void pushSuppressed(bool on) noexcept;
  // Restores the last saved suppression; ignored when none is saved.
  void popSuppressed() noexcept;
  bool isTimed() const noexcept { return m_timed != 0; }
  void setTimed(bool on) noexcept { m_timed = on ? 1 : 0; }
  bool isVerbose() const noexcept { return m_verbose != 0; }
  void setVerbose(bool on) noexcept { m_verbose = on ? 1 : 0; }

 private:
  std::uint8_t m_suppressed = 0;
  std::uint8_t m_timed = 0;
  std::uint8_t m_verbose = 0;
  std::uint8_t m_suppressionStack[kSuppressionDepth] = {};
  int m_suppressionCount = 0;
};

// The log that discards everything.
class LogNull : public LogBase {
 public:
  LogNull() noexcept = default;
  ~LogNull() override;
};

// Enters a context when constructed and leaves it when destroyed, so that
// every way out of a scope leaves the context it entered.
class LogContextExitor {
 public:
  static constexpr std::uint32_t kSignature = 0xCC38A8B8u;

  LogContextExitor(LogBase& log, const char* name) noexcept;
  // With enabled false it holds no log and does nothing.
  LogContextExitor(LogBase& log, const char* name, bool enabled) noexcept;
  LogContextExitor(const LogContextExitor&) = delete;
  LogContextExitor& operator=(const LogContextExitor&) = delete;
  virtual ~LogContextExitor();

 private:
  std::uint32_t m_exitorSignature = kSignature;
  LogBase* m_log = nullptr;
};

}  // namespace rozazar
