// The foundation's only lock: a re-entrant critical section, its scope guard,
// and the process-wide switch that turns all locking off.
#pragma once

#include <cstdint>

#include "foundation/platform/Platform.h"

namespace rozazar {

// While on, no critical section locks. Off at start.
void setSingleThreaded(bool on) noexcept;
bool isSingleThreaded() noexcept;

class RozazarCritSec {
 public:
  static constexpr std::uint32_t kSignature = 0xCBCB2903u;

  RozazarCritSec() noexcept;
  RozazarCritSec(const RozazarCritSec&) = delete;
  RozazarCritSec& operator=(const RozazarCritSec&) = delete;
  virtual ~RozazarCritSec();

  // Enter and leave are re-entrant for the owning thread. Both return true
  // without locking while single-threaded, false on a wrong signature.
  bool enter() noexcept;
  bool leave() noexcept;

 private:
  std::uint32_t m_critSecSignature = kSignature;
  platform::LockStorage m_lock;
};

// Holds a critical section for its own lifetime.
class CritSecExitor {
 public:
  static constexpr std::uint32_t kSignature = 0x7521A004u;

  // Enters cs when it is non-null.
  explicit CritSecExitor(RozazarCritSec* cs) noexcept;
  CritSecExitor(const CritSecExitor&) = delete;
  CritSecExitor& operator=(const CritSecExitor&) = delete;
  virtual ~CritSecExitor();

 private:
  std::uint32_t m_exitorSignature = kSignature;
  RozazarCritSec* m_held;
};

}  // namespace rozazar
