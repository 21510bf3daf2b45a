// POSIX implementation of the platform seam, for the native builds of the
// portable core.
#include <errno.h>
#include <pthread.h>
#include <string.h>
#include <time.h>

#include <cstring>

#include "Platform.h"

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

void sleepMilliseconds(std::uint32_t milliseconds) noexcept {
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

}  // namespace rozazar::platform
