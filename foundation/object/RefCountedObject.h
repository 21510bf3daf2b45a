// Reference-counted, lockable objects and the weak reference built on them.
#pragma once

#include <atomic>
#include <cstdint>

#include "foundation/object/RozazarCritSec.h"

namespace rozazar {

// Born with count 0; the creator calls addRef once, the last release
// destroys the object. Every reference-counted object carries its own lock.
class RefCountedObject : public RozazarCritSec {
 public:
  static constexpr std::uint32_t kSignature = 0xC64D29EAu;

  // Return the new count; 0 (and no change) on a wrong signature.
  int addRef() noexcept;
  // Decrements a positive count and destroys the object when it reaches 0.
  // A count already at 0 stays and the object lives on.
  int release() noexcept;
  int refCount() const noexcept;

 protected:
  RefCountedObject() noexcept = default;
  // Only release destroys. An object destroyed while still referenced keeps
  // its count and signature, so holders never read cleared state through it.
  ~RefCountedObject() override;

 private:
  bool signatureValid() const noexcept;

  std::atomic<std::int32_t> m_refCount{0};
  std::uint32_t m_refSignature = kSignature;
};

// A counted reference to an object it does not own. Holders lock it to use
// the target; the target's owner clears it under the same lock when the
// target dies, so a holder sees either a live target or null.
class _ckWeakPtr : public RefCountedObject {
 public:
  // A new reference with count 1, or null when it cannot be allocated.
  static _ckWeakPtr* create(void* target) noexcept;

  // Enters the reference's lock and returns the target with the lock held;
  // when the target is null, leaves again and returns null.
  void* lockTarget() noexcept;
  // Leaves the lock entered by a successful lockTarget.
  void unlockTarget() noexcept;
  void setTarget(void* target) noexcept;

  explicit _ckWeakPtr(void* target) noexcept : m_target(target) {}

 protected:
  ~_ckWeakPtr() override = default;

 private:
  void* m_target;
};

}  // namespace rozazar
