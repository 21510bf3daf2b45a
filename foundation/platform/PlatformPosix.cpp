// POSIX implementation of the platform seam, for the native builds of the
// portable core.
#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdio.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "foundation/platform/Platform.h"
#include "foundation/platform/SystemCalls.h"

namespace rozazar::platform {

namespace {

static_assert(sizeof(pthread_mutex_t) <= sizeof(LockStorage::bytes), "lock storage too small");
static_assert(alignof(pthread_mutex_t) <= alignof(LockStorage), "lock storage misaligned");

pthread_mutex_t* mutex(LockStorage& lock) noexcept {
  return reinterpret_cast<pthread_mutex_t*>(lock.bytes);
}

// strerror_r comes in two shapes (XSI returns int, GNU returns the text).
[[maybe_unused]] const char* strerrorResult(int rc, const char* buffer) noexcept {
  return rc == 0 ? buffer : nullptr;
}
[[maybe_unused]] const char* strerrorResult(const char* text, const char*) noexcept { return text; }

}  // namespace

void lockInit(LockStorage& lock) noexcept {
  std::memset(lock.bytes, 0, sizeof lock.bytes);
  pthread_mutexattr_t attributes;
  pthread_mutexattr_init(&attributes);
  pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(mutex(lock), &attributes);
  pthread_mutexattr_destroy(&attributes);
}

void lockEnter(LockStorage& lock) noexcept { pthread_mutex_lock(mutex(lock)); }

void lockLeave(LockStorage& lock) noexcept { pthread_mutex_unlock(mutex(lock)); }

void lockDestroy(LockStorage& lock) noexcept { pthread_mutex_destroy(mutex(lock)); }

std::uint32_t tickCount() noexcept {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const auto milliseconds = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                            static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(milliseconds);
}

static void nativeSleepMilliseconds(std::uint32_t milliseconds) noexcept {
  timespec wait{static_cast<time_t>(milliseconds / 1000u),
                static_cast<long>(milliseconds % 1000u) * 1000000L};
  while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
  }
}

std::uint32_t lastSystemError() noexcept { return static_cast<std::uint32_t>(errno); }

std::size_t systemErrorText(std::uint32_t code, char* out, std::size_t outSize) noexcept {
  if (out == nullptr || outSize == 0) return 0;
  out[0] = '\0';
  char buffer[256] = {};
  const char* text =
      strerrorResult(strerror_r(static_cast<int>(code), buffer, sizeof buffer), buffer);
  if (text == nullptr) return 0;
  std::size_t length = std::strlen(text);
  while (length > 0 &&
         (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == ' '))
    --length;
  if (length >= outSize) {
    length = outSize - 1;
    // Never end in the middle of a UTF-8 sequence.
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0u) == 0x80u) --length;
  }
  std::memcpy(out, text, length);
  out[length] = '\0';
  return length;
}

int ansiCodePage() noexcept { return 65001; }

namespace {

// Windows error numbers for the errno values file calls meet.
std::uint32_t windowsError(int code) noexcept {
  switch (code) {
    case ENOENT:
      return 2;  // file not found
    case ENOTDIR:
      return 3;  // path not found
    case EMFILE:
    case ENFILE:
      return 4;  // too many open files
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return 5;  // access denied
    case EWOULDBLOCK:
    case ETXTBSY:
    case EBUSY:
      return 32;  // sharing violation
    case EEXIST:
      return 80;
    case EINVAL:
      return 87;
    case ENOSPC:
      return 112;
    case EILSEQ:
      return 123;  // invalid name: bytes the file system does not take
    case ENAMETOOLONG:
      return 206;
    default:
      return 31;  // general failure
  }
}

int errnoOf(std::uint32_t windowsCode) noexcept {
  switch (windowsCode) {
    case 2:
      return ENOENT;
    case 3:
      return ENOTDIR;
    case 4:
      return EMFILE;
    case 5:
      return EACCES;
    case 32:
      return EWOULDBLOCK;
    case 80:
      return EEXIST;
    case 87:
      return EINVAL;
    case 112:
      return ENOSPC;
    case 123:
      return EILSEQ;
    case 206:
      return ENAMETOOLONG;
    default:
      return EIO;
  }
}

// UTF-16 path to UTF-8 (lone surrogates become U+FFFD). Backslashes are
// directory separators, as on Windows. False when it does not fit.
bool utf8Path(const char16_t* path, char* out, std::size_t outSize) noexcept {
  std::size_t used = 0;
  for (std::size_t i = 0; path[i] != 0; ++i) {
    std::uint32_t cp = path[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && path[i + 1] >= 0xDC00 && path[i + 1] <= 0xDFFF) {
      cp = 0x10000u + ((cp - 0xD800u) << 10) + (path[i + 1] - 0xDC00u);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp == '\\') cp = '/';
    unsigned char bytes[4];
    std::size_t n;
    if (cp < 0x80) {
      bytes[0] = static_cast<unsigned char>(cp);
      n = 1;
    } else if (cp < 0x800) {
      bytes[0] = static_cast<unsigned char>(0xC0 | (cp >> 6));
      bytes[1] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
      n = 2;
    } else if (cp < 0x10000) {
      bytes[0] = static_cast<unsigned char>(0xE0 | (cp >> 12));
      bytes[1] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
      bytes[2] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
      n = 3;
    } else {
      bytes[0] = static_cast<unsigned char>(0xF0 | (cp >> 18));
      bytes[1] = static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F));
      bytes[2] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
      bytes[3] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
      n = 4;
    }
    if (used + n >= outSize) return false;
    std::memcpy(out + used, bytes, n);
    used += n;
  }
  out[used] = '\0';
  return true;
}

// UTF-8 (as the system gives it) to UTF-16; invalid bytes become U+FFFD.
bool utf16Path(const char* text, char16_t* out, std::size_t outCount) noexcept {
  std::size_t used = 0;
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  while (*p != 0) {
    std::uint32_t cp = 0xFFFD;
    std::size_t n = 1;
    if (p[0] < 0x80) {
      cp = p[0];
    } else if ((p[0] & 0xE0) == 0xC0 && (p[1] & 0xC0) == 0x80) {
      cp = ((p[0] & 0x1Fu) << 6) | (p[1] & 0x3Fu);
      n = 2;
    } else if ((p[0] & 0xF0) == 0xE0 && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80) {
      cp = ((p[0] & 0x0Fu) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu);
      n = 3;
    } else if ((p[0] & 0xF8) == 0xF0 && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80 &&
               (p[3] & 0xC0) == 0x80) {
      cp = ((p[0] & 0x07u) << 18) | ((p[1] & 0x3Fu) << 12) | ((p[2] & 0x3Fu) << 6) | (p[3] & 0x3Fu);
      n = 4;
    }
    p += n;
    const std::size_t units = cp >= 0x10000 ? 2 : 1;
    if (used + units >= outCount) return false;
    if (units == 2) {
      out[used++] = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out[used++] = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out[used++] = static_cast<char16_t>(cp);
    }
  }
  out[used] = 0;
  return true;
}

constexpr std::size_t kPathBytes = 8192;

}  // namespace

static FileHandle nativeFileOpen(const char16_t* path, std::uint32_t access, bool shareReadWrite,
                                 FileDisposition disposition, bool /*hidden*/,
                                 std::uint32_t& error) noexcept {
  char name[kPathBytes];
  if (!utf8Path(path, name, sizeof name)) {
    error = 206;
    return kNoFile;
  }
  int flags = O_CLOEXEC;
  const bool read = (access & kFileRead) != 0;
  const bool write = (access & kFileWrite) != 0;
  flags |= (read && write) ? O_RDWR : write ? O_WRONLY : O_RDONLY;
  if (disposition != FileDisposition::kOpenExisting) flags |= O_CREAT;
  const int descriptor = open(name, flags, 0666);
  if (descriptor < 0) {
    error = windowsError(errno);
    return kNoFile;
  }
  struct stat info {};
  if (fstat(descriptor, &info) == 0 && S_ISDIR(info.st_mode)) {
    close(descriptor);
    error = 5;  // a directory is not a file
    return kNoFile;
  }
  // Windows sharing: an exclusive open conflicts with every other open, a
  // shared one with an exclusive one.
  if (flock(descriptor, (shareReadWrite ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0) {
    error = windowsError(errno);
    close(descriptor);
    return kNoFile;
  }
  if (disposition == FileDisposition::kCreateAlways && ftruncate(descriptor, 0) != 0) {
    error = windowsError(errno);
    close(descriptor);
    return kNoFile;
  }
  error = 0;
  return descriptor;
}

void fileClose(FileHandle file) noexcept {
  if (file != kNoFile) close(static_cast<int>(file));
}

static bool nativeFileRead(FileHandle file, void* buffer, std::uint32_t n, std::uint32_t& bytesRead,
                           std::uint32_t& error) noexcept {
  ssize_t got;
  do {
    got = read(static_cast<int>(file), buffer, n);
  } while (got < 0 && errno == EINTR);
  if (got < 0) {
    bytesRead = 0;
    error = windowsError(errno);
    return false;
  }
  bytesRead = static_cast<std::uint32_t>(got);
  return true;
}

static bool nativeFileWrite(FileHandle file, const void* data, std::uint32_t n,
                            std::uint32_t& bytesWritten, std::uint32_t& error) noexcept {
  std::uint32_t done = 0;
  const auto* bytes = static_cast<const unsigned char*>(data);
  while (done < n) {
    const ssize_t put = write(static_cast<int>(file), bytes + done, n - done);
    if (put < 0) {
      if (errno == EINTR) continue;
      bytesWritten = done;
      error = windowsError(errno);
      return false;
    }
    done += static_cast<std::uint32_t>(put);
  }
  bytesWritten = done;
  return true;
}

bool fileSeekToEnd(FileHandle file, std::uint32_t& error) noexcept {
  if (lseek(static_cast<int>(file), 0, SEEK_END) < 0) {
    error = windowsError(errno);
    return false;
  }
  return true;
}

bool fileSize(FileHandle file, std::int64_t& size, std::uint32_t& error) noexcept {
  struct stat info {};
  if (fstat(static_cast<int>(file), &info) != 0) {
    error = windowsError(errno);
    return false;
  }
  size = static_cast<std::int64_t>(info.st_size);
  return true;
}

bool streamFileSize(void* stream, std::int64_t& size) noexcept {
  const int descriptor = fileno(static_cast<FILE*>(stream));
  struct stat info {};
  if (descriptor < 0 || fstat(descriptor, &info) != 0) return false;
  size = static_cast<std::int64_t>(info.st_size);
  return true;
}

namespace {

// The file's status under its UTF-8 name (written to name); false with a
// Windows error code when the name is too long or stat fails.
bool statPath(const char16_t* path, char (&name)[kPathBytes], struct stat& info,
              std::uint32_t& error) noexcept {
  if (!utf8Path(path, name, sizeof name)) {
    error = 206;
    return false;
  }
  if (stat(name, &info) != 0) {
    error = windowsError(errno);
    return false;
  }
  return true;
}

}  // namespace

static bool nativeFileAttributes(const char16_t* path, std::uint32_t& attributes,
                                 std::uint32_t& error) noexcept {
  char name[kPathBytes];
  struct stat info {};
  if (!statPath(path, name, info, error)) return false;
  attributes = 0;
  if (S_ISDIR(info.st_mode)) attributes |= kAttributeDirectory;
  if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) attributes |= kAttributeReadOnly;
  if (attributes == 0) attributes = kAttributeNormal;
  return true;
}

static bool nativeSetFileAttributes(const char16_t* path, std::uint32_t attributes,
                                    std::uint32_t& error) noexcept {
  char name[kPathBytes];
  struct stat info {};
  if (!statPath(path, name, info, error)) return false;
  mode_t mode = info.st_mode & 07777;
  if ((attributes & kAttributeReadOnly) != 0) {
    mode &= static_cast<mode_t>(~(S_IWUSR | S_IWGRP | S_IWOTH));
  } else {
    mode |= S_IWUSR;
  }
  if (chmod(name, mode) != 0) {
    error = windowsError(errno);
    return false;
  }
  return true;
}

bool fullPathName(const char16_t* path, char16_t* out, std::size_t outCount) noexcept {
  char name[kPathBytes];
  if (path == nullptr || path[0] == 0 || !utf8Path(path, name, sizeof name)) return false;
  char joined[2 * kPathBytes];
  if (name[0] == '/') {
    std::snprintf(joined, sizeof joined, "%s", name);
  } else {
    char here[kPathBytes];
    if (getcwd(here, sizeof here) == nullptr) return false;
    std::snprintf(joined, sizeof joined, "%s/%s", here, name);
  }
  // Drop "." and empty parts and let ".." remove the part before it, as the
  // Windows call does; a trailing separator stays.
  char result[2 * kPathBytes];
  std::size_t used = 0;
  const char* p = joined;
  while (*p != '\0') {
    while (*p == '/') ++p;
    const char* end = p;
    while (*end != '\0' && *end != '/') ++end;
    const std::size_t n = static_cast<std::size_t>(end - p);
    if (n == 1 && p[0] == '.') {
    } else if (n == 2 && p[0] == '.' && p[1] == '.') {
      while (used > 0 && result[used - 1] != '/') --used;
      if (used > 0) --used;
    } else if (n > 0) {
      if (used + n + 2 >= sizeof result) return false;
      result[used++] = '/';
      std::memcpy(result + used, p, n);
      used += n;
    }
    p = end;
  }
  if (used == 0) result[used++] = '/';
  const std::size_t inLength = std::strlen(joined);
  if (inLength > 1 && joined[inLength - 1] == '/' && result[used - 1] != '/') result[used++] = '/';
  result[used] = '\0';
  return utf16Path(result, out, outCount);
}

bool currentDirectory(char16_t* out, std::size_t outCount) noexcept {
  char here[kPathBytes];
  if (getcwd(here, sizeof here) == nullptr) return false;
  return utf16Path(here, out, outCount);
}

bool usesLongPathPrefix() noexcept { return false; }

std::size_t fileErrorText(std::uint32_t code, char* out, std::size_t outSize) noexcept {
  return systemErrorText(static_cast<std::uint32_t>(errnoOf(code)), out, outSize);
}

bool runningUnderWine() noexcept { return false; }

const SystemCalls& nativeSystemCalls() noexcept {
  static const SystemCalls calls = {&nativeFileOpen,          &nativeFileRead,
                                    &nativeFileWrite,         &nativeFileAttributes,
                                    &nativeSetFileAttributes, &nativeSleepMilliseconds};
  return calls;
}

}  // namespace rozazar::platform
