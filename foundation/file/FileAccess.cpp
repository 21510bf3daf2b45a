#include "foundation/file/FileAccess.h"

#include "foundation/containers/DataBuffer.h"
#include "foundation/object/Allocation.h"
#include "foundation/object/LogBase.h"
#include "foundation/text/StringBuffer.h"
#include "foundation/text/XString.h"

namespace rozazar {

namespace {

constexpr std::uint32_t kReadChunk = 65536;
constexpr std::uint32_t kWriteChunk = 10000000;
constexpr std::uint32_t kSharingViolation = 32;
constexpr std::uint32_t kHandleEof = 38;

// "WindowsError" with the system's text for code.
void logFileError(LogBase* log, std::uint32_t code) noexcept {
  if (log == nullptr || code == 0) return;
  char text[1024];
  if (platform::fileErrorText(code, text, sizeof text) == 0) {
    StringBuffer number;
    number.appendText("Error ");
    number.appendUInt32(code);
    log->logData("WindowsError", number.text());
    return;
  }
  log->logData("WindowsError", text);
}

int errorClassOf(std::uint32_t code) noexcept {
  switch (code) {
    case 5:
    case 32:
    case 33:
      return kFileAccessDenied;
    case 2:
    case 3:
      return kFileNotFound;
    default:
      return kFileOtherError;
  }
}

// The UTF-8 path with "/" turned into "\", as every call here sees it.
bool windowsPath(const char* path, XString& out) noexcept {
  if (!out.setFromUtf8(path)) return false;
  return out.replaceChar('/', '\\');
}

}  // namespace

RozazarHandle::~RozazarHandle() { close(); }

void RozazarHandle::close() noexcept {
  if (m_stream != nullptr) {
    std::fclose(m_stream);
    m_stream = nullptr;
  }
  if (m_file != platform::kNoFile) {
    platform::fileClose(m_file);
    m_file = platform::kNoFile;
  }
}

void RozazarHandle::takeFrom(RozazarHandle& other) noexcept {
  if (&other == this) return;
  close();
  m_stream = other.m_stream;
  m_file = other.m_file;
  other.m_stream = nullptr;
  other.m_file = platform::kNoFile;
}

void RozazarHandle::adoptStream(std::FILE* stream) noexcept {
  close();
  m_stream = stream;
}

platform::FileHandle openRaw(XString& widePath, std::uint32_t access, bool shareReadWrite,
                             platform::FileDisposition disposition, std::uint32_t attributes,
                             std::uint32_t& errorOut, LogBase* log) noexcept {
  widePath.replaceChar('/', '\\');
  const char16_t* path = widePath.getUtf16();
  errorOut = 0;
  if (path == nullptr) {
    errorOut = 8;  // not enough memory
    return platform::kNoFile;
  }
  const bool hidden = (attributes & platform::kAttributeHidden) != 0;
  std::uint32_t error = 0;
  platform::FileHandle file =
      platform::fileOpen(path, access, shareReadWrite, disposition, hidden, error);
  // Another process may hold the file for a moment (a virus scanner, an
  // indexer): wait and try again a few times.
  for (int retry = 0; file == platform::kNoFile && error == kSharingViolation && retry < 3;
       ++retry) {
    platform::sleepMilliseconds(50);
    file = platform::fileOpen(path, access, shareReadWrite, disposition, hidden, error);
  }
  if (file != platform::kNoFile) return file;
  errorOut = error;
  if (log != nullptr) {
    log->logError("Failed to open file (3)");
    log->logDataXString("filePath", widePath);
    char text[1024];
    if (platform::fileErrorText(error, text, sizeof text) == 0) text[0] = '\0';
    log->logData("osErrorInfo", text);
  }
  return platform::kNoFile;
}

RozazarHandle* openFileWin32(const char* path, bool read, bool write, bool exclusive, bool hidden,
                             bool append, bool repairName, int& errorClass, LogBase* log) noexcept {
  errorClass = kFileOtherError;
  XString localPath;
  if (path != nullptr && !windowsPath(path, localPath)) return nullptr;
  XString name;
  if (!name.copyFrom(localPath)) return nullptr;
  if (repairName) repairFileName(name, write, log);
  if (name.isEmpty()) {
    if (log != nullptr) log->logError("openFileWin32: file path is empty.");
    return nullptr;
  }
  makeAbsoluteLongPath(name);

  std::uint32_t access = 0;
  if (read) access |= platform::kFileRead;
  if (write) access |= platform::kFileWrite;
  platform::FileDisposition disposition = platform::FileDisposition::kOpenExisting;
  if (read && write) disposition = platform::FileDisposition::kOpenAlways;
  if (write && !read) disposition = platform::FileDisposition::kCreateAlways;
  const std::uint32_t attributes = hidden ? platform::kAttributeHidden : platform::kAttributeNormal;

  std::uint32_t error = 0;
  platform::FileHandle file =
      openRaw(name, access, !exclusive, disposition, attributes, error, log);
  if (file == platform::kNoFile && write) {
    // A read-only file refuses writing: clear the attribute and try once more.
    std::uint32_t current = 0;
    std::uint32_t attributeError = 0;
    const char16_t* longName = name.getUtf16();
    if (longName != nullptr && platform::fileAttributes(longName, current, attributeError) &&
        (current & platform::kAttributeReadOnly) != 0 &&
        platform::setFileAttributes(longName, current & ~platform::kAttributeReadOnly,
                                    attributeError)) {
      file = openRaw(name, access, !exclusive, disposition, attributes, error, log);
    }
  }
  if (file == platform::kNoFile) {
    if (log != nullptr) {
      log->logDataUInt("windowsError", error);
      log->logDataXString("localWindowsFilePath", localPath);
    }
    errorClass = errorClassOf(error);
    return nullptr;
  }
  if (append) {
    std::uint32_t seekError = 0;
    if (!platform::fileSeekToEnd(file, seekError)) logFileError(log, seekError);
  }
  RozazarHandle* handle = newObject<RozazarHandle>(file);
  if (handle == nullptr) {
    platform::fileClose(file);
    if (log != nullptr) log->logStoredError(StoredMessage::kOutOfMemory);
    return nullptr;
  }
  errorClass = kFileOpenSucceeded;
  return handle;
}

bool readBytes(RozazarHandle& handle, void* buffer, std::uint32_t n, std::uint32_t& bytesRead,
               bool& atEnd, LogBase* log) noexcept {
  bytesRead = 0;
  atEnd = false;
  if (buffer == nullptr) {
    if (log != nullptr) log->logError("NULL buf pointer.");
    return false;
  }
  auto* bytes = static_cast<unsigned char*>(buffer);
  if (handle.stream() != nullptr) {
    while (bytesRead < n) {
      const std::uint32_t step = (n - bytesRead) < kReadChunk ? (n - bytesRead) : kReadChunk;
      const std::size_t got = std::fread(bytes + bytesRead, 1, step, handle.stream());
      bytesRead += static_cast<std::uint32_t>(got);
      if (got < step) {
        if (std::ferror(handle.stream()) != 0) {
          if (log != nullptr) log->logError("fread failed.");
          return false;
        }
        atEnd = true;
        break;
      }
    }
    return true;
  }
  if (handle.osHandle() == platform::kNoFile) {
    if (log != nullptr) log->logError("Failed to read because file is not open.");
    return false;
  }
  while (bytesRead < n) {
    const std::uint32_t step = (n - bytesRead) < kReadChunk ? (n - bytesRead) : kReadChunk;
    std::uint32_t got = 0;
    std::uint32_t error = 0;
    if (!platform::fileRead(handle.osHandle(), bytes + bytesRead, step, got, error)) {
      if (error == kHandleEof) {
        atEnd = true;
        break;
      }
      logFileError(log, error);
      return false;
    }
    if (got == 0) {
      atEnd = true;
      break;
    }
    bytesRead += got;
  }
  return true;
}

bool writeBytes(RozazarHandle& handle, const void* data, std::uint32_t n, LogBase* log) noexcept {
  const auto* bytes = static_cast<const unsigned char*>(data);
  if (n > 0 && bytes == nullptr) {
    if (log != nullptr) log->logError("NULL buf pointer.");
    return false;
  }
  if (handle.stream() != nullptr) {
    if (n > 0 && std::fwrite(bytes, 1, n, handle.stream()) != n) {
      if (log != nullptr) log->logError("fwrite failed.");
      return false;
    }
    return true;
  }
  if (handle.osHandle() == platform::kNoFile) {
    if (log != nullptr) log->logError("Failed to write because file is not open.");
    return false;
  }
  std::uint32_t done = 0;
  while (done < n) {
    const std::uint32_t step = (n - done) < kWriteChunk ? (n - done) : kWriteChunk;
    std::uint32_t written = 0;
    std::uint32_t error = 0;
    const bool ok = platform::fileWrite(handle.osHandle(), bytes + done, step, written, error);
    if (!ok || written != step) {
      if (log != nullptr) {
        LogContextExitor context(*log, "WriteFileError");
        logFileError(log, ok ? 112 : error);  // a short write means the disk is full
        log->logDataUInt("WindowsErrorCode", ok ? 112 : error);
      }
      return false;
    }
    done += step;
  }
  return true;
}

std::int64_t fileSize(RozazarHandle& handle, LogBase* log) noexcept {
  std::int64_t size = -1;
  std::uint32_t error = 0;
  bool ok;
  if (handle.stream() != nullptr) {
    std::fflush(handle.stream());
    ok = platform::streamFileSize(handle.stream(), size);
    if (!ok) error = 6;  // invalid handle
  } else if (handle.osHandle() != platform::kNoFile) {
    ok = platform::fileSize(handle.osHandle(), size, error);
  } else {
    ok = false;
    error = 6;
  }
  if (ok) return size;
  logFileError(log, error);
  if (log != nullptr) log->logError("Failed to get file size (64)");
  return -1;
}

bool getAttributes(const char* path, std::uint32_t& attributes, std::uint32_t& errorOut,
                   LogBase* log) noexcept {
  errorOut = 0;
  if (path == nullptr || *path == '\0') {
    if (log != nullptr) log->logError("GetAttributes: filename is empty");
    return false;
  }
  XString name;
  if (!windowsPath(path, name)) {
    errorOut = 8;
    return false;
  }
  makeAbsoluteLongPath(name);
  const char16_t* wide = name.getUtf16();
  if (wide == nullptr) {
    errorOut = 8;
    return false;
  }
  return platform::fileAttributes(wide, attributes, errorOut);
}

bool fileExists(const char* path, bool& uncertain, LogBase* log) noexcept {
  uncertain = false;
  if (path == nullptr || *path == '\0') return false;
  std::uint32_t attributes = 0;
  std::uint32_t error = 0;
  if (getAttributes(path, attributes, error, log)) return true;
  logFileError(log, error);
  // A name the file system cannot hold (too long, invalid characters) names
  // no file either.
  switch (error) {
    case 2:    // file not found
    case 3:    // path not found
    case 21:   // device not ready
    case 53:   // network path not found
    case 123:  // invalid name
    case 161:  // bad path name
    case 206:  // file name too long
      return false;
    default:
      uncertain = true;
      return true;
  }
}

bool writeWholeFile(const char* path, const void* data, std::uint32_t n, LogBase* log) noexcept {
  if (path == nullptr || *path == '\0') return false;
  int errorClass = 0;
  RozazarHandle* handle =
      openFileWin32(path, false, true, false, false, false, true, errorClass, log);
  if (handle == nullptr) {
    if (log != nullptr) {
      log->logData("filename", path);
      log->logError("Failed to write complete file (7)");
    }
    return false;
  }
  bool ok = true;
  if (data != nullptr && !writeBytes(*handle, data, n, log)) {
    if (log != nullptr) {
      log->logData("filename", path);
      log->logError("Failed to write complete file (1)");
    }
    ok = false;
  }
  delete handle;
  return ok;
}

bool writeWholeFile(const XString& path, const void* data, std::uint32_t n, LogBase* log) noexcept {
  XString copy;
  if (!copy.copyFrom(path)) return false;
  return writeWholeFile(copy.getUtf8(), data, n, log);
}

bool DataBuffer::loadFile(const char* path, LogBase* log) noexcept {
  LogNull nullLog;
  LogBase& report = log != nullptr ? *log : nullLog;
  LogContextExitor context(report, "loadFileX");
  if (!isValid()) return false;
  clearAndRelease();

  int errorClass = 0;
  RozazarHandle* handle =
      openFileWin32(path, true, false, false, false, false, true, errorClass, &report);
  if (handle == nullptr) {
    report.logError("Failed to open for read.");
    return false;
  }
  bool ok = false;
  const std::int64_t size = fileSize(*handle, &report);
  if (size < 0) {
    report.logError("Failed to get file size.");
  } else if (size == 0) {
    ok = true;
  } else if (size > static_cast<std::int64_t>(0xFFFFFFFFu - 32u)) {
    report.logError("Out of memory for data buffer");
    report.logDataInt64("fileSize", size);
  } else {
    const auto n = static_cast<std::uint32_t>(size);
    unsigned char* block = newArray<unsigned char>(static_cast<std::size_t>(n) + 32);
    if (block == nullptr) {
      report.logError("Out of memory");
      report.logDataInt64("fileSize", size);
    } else {
      adoptBlock(block, static_cast<std::size_t>(n) + 32);
      setSize(n);
      std::uint32_t got = 0;
      bool atEnd = false;
      if (!readBytes(*handle, block, n, got, atEnd, &report)) {
        report.logData("path", path);
        XString here;
        currentDirectory(here);
        report.logDataXString("current_dir", here);
      } else if (got != n) {
        report.logDataInt64("fileSize", size);
        report.logDataUInt("numBytesRead", got);
        report.logError("Failed to read the entire file (2)");
      } else {
        ok = true;
      }
    }
  }
  delete handle;
  return ok;
}

}  // namespace rozazar
