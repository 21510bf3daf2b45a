#include "foundation/object/RozazarCritSec.h"

#include <atomic>

#include "foundation/object/RozazarObject.h"
#include "foundation/object/Signature.h"

namespace rozazar {

namespace {
std::atomic<bool> g_singleThreaded{false};
}

void setSingleThreaded(bool on) noexcept { g_singleThreaded.store(on); }

bool isSingleThreaded() noexcept { return g_singleThreaded.load(std::memory_order_relaxed); }

RozazarCritSec::RozazarCritSec() noexcept { platform::lockInit(m_lock); }

RozazarCritSec::~RozazarCritSec() {
  if (m_critSecSignature != kSignature) {
    notifyCorruption();
    return;
  }
  // Entering first waits for a thread that still holds the section. The
  // operating-system lock is released even while single-threaded, so no
  // object leaks one.
  const bool locking = !isSingleThreaded();
  if (locking) platform::lockEnter(m_lock);
  clearSignature(m_critSecSignature);
  if (locking) platform::lockLeave(m_lock);
  platform::lockDestroy(m_lock);
}

bool RozazarCritSec::enter() noexcept {
  if (isSingleThreaded()) return true;
  if (m_critSecSignature != kSignature) {
    notifyCorruption();
    return false;
  }
  platform::lockEnter(m_lock);
  return true;
}

bool RozazarCritSec::leave() noexcept {
  if (isSingleThreaded()) return true;
  if (m_critSecSignature != kSignature) {
    notifyCorruption();
    return false;
  }
  platform::lockLeave(m_lock);
  return true;
}

CritSecExitor::CritSecExitor(RozazarCritSec* cs) noexcept
    : m_held(cs != nullptr && cs->enter() ? cs : nullptr) {}

CritSecExitor::~CritSecExitor() {
  if (m_exitorSignature != kSignature) {
    notifyCorruption();
    return;
  }
  if (m_held != nullptr) m_held->leave();
  clearSignature(m_exitorSignature);
}

}  // namespace rozazar
