// Name repair for openFileWin32.
#include <cstring>

#include "foundation/file/FileAccess.h"
#include "foundation/object/LogBase.h"
#include "foundation/text/StringBuffer.h"
#include "foundation/text/XString.h"

namespace rozazar {

namespace {

void logRepair(LogBase* log, const char* message, const StringBuffer& name) noexcept {
  if (log == nullptr) return;
  log->logError(message);
  log->logDataBuffer("modifiedFilename", name);
}

// Replaces every c from index from on; returns how many.
std::size_t replaceFrom(StringBuffer& name, std::size_t from, char c) noexcept {
  std::size_t count = 0;
  char* text = const_cast<char*>(name.text());
  for (std::size_t i = from; i < name.length(); ++i) {
    if (text[i] == c) {
      text[i] = '_';
      ++count;
    }
  }
  return count;
}

bool startsWithNoCase(const char* text, const char* prefix) noexcept {
  for (; *prefix != '\0'; ++text, ++prefix) {
    char c = *text;
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != *prefix) return false;
  }
  return true;
}

// The names Windows reserves for devices, whatever the extension.
bool isDeviceName(const char* name) noexcept {
  static const char* const kDevices[] = {"aux.", "con.", "clock$.", "nul.", "prn."};
  for (const char* device : kDevices) {
    if (startsWithNoCase(name, device)) return true;
  }
  if (startsWithNoCase(name, "com") || startsWithNoCase(name, "lpt"))
    return name[3] >= '0' && name[3] <= '9' && name[4] == '.';
  return false;
}

}  // namespace

bool repairFileName(XString& path, bool mayCreate, LogBase* log) noexcept {
  StringBuffer* name = path.getUtf8BufferForEdit();
  if (name == nullptr) return false;
  bool changed = false;

  const char* colon = std::strchr(name->text(), ':');
  if (colon != nullptr) {
    const auto first = static_cast<std::size_t>(colon - name->text());
    if (first >= 8) {
      replaceFrom(*name, 0, ':');
      changed = true;
      logRepair(log, "The : character is not allowed in Windows filenames.", *name);
    } else if (first >= 1 && replaceFrom(*name, first + 1, ':') > 0) {
      changed = true;
      logRepair(log, "The : character is not allowed in Windows filenames..", *name);
    }
  }
  if (replaceFrom(*name, 0, '|') > 0) {
    changed = true;
    logRepair(log, "The | character is not allowed in Windows filenames.", *name);
  }
  {
    // The question mark of a leading long-path prefix is no file name.
    const char* prefix = std::strstr(name->text(), "\\\\?");
    const std::size_t keep =
        prefix != nullptr ? static_cast<std::size_t>(prefix - name->text()) + 2 : name->length();
    std::size_t count = 0;
    char* text = const_cast<char*>(name->text());
    for (std::size_t i = 0; i < name->length(); ++i) {
      if (text[i] == '?' && i != keep) {
        text[i] = '_';
        ++count;
      }
    }
    if (count > 0) {
      changed = true;
      logRepair(log, "The ? character is not allowed in Windows filenames.", *name);
    }
  }
  if (replaceFrom(*name, 0, '*') > 0) {
    changed = true;
    logRepair(log, "The asterisk character is not allowed in Windows filenames.", *name);
  }
  if (replaceFrom(*name, 0, '<') > 0) {
    changed = true;
    logRepair(log, "The open-angle-bracket character is not allowed in Windows filenames.", *name);
  }
  if (replaceFrom(*name, 0, '>') > 0) {
    changed = true;
    logRepair(log, "The close-angle-bracket character is not allowed in Windows filenames.", *name);
  }
  if (replaceFrom(*name, 0, '"') > 0) {
    changed = true;
    logRepair(log, "The double-quote character is not allowed in Windows filenames.", *name);
  }
  if (name->removeAllChar('\r') + name->removeAllChar('\n') > 0) changed = true;

  if (mayCreate) {
    const char* text = name->text();
    const char* slash = std::strrchr(text, '\\');
    const char* other = std::strrchr(text, '/');
    if (other != nullptr && (slash == nullptr || other > slash)) slash = other;
    const std::size_t start = slash != nullptr ? static_cast<std::size_t>(slash - text) + 1 : 0;
    if (isDeviceName(text + start)) {
      StringBuffer repaired;
      if (repaired.appendBytes(text, start) && repaired.appendChar('_') &&
          repaired.appendText(text + start) && name->setFromBuffer(repaired))
        changed = true;
    }
  }
  return changed;
}

}  // namespace rozazar
