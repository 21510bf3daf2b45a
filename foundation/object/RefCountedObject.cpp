#include "foundation/object/RefCountedObject.h"

#include "foundation/object/Allocation.h"
#include "foundation/object/RozazarObject.h"
#include "foundation/object/Signature.h"

namespace rozazar {

ROZAZAR_SIGNATURE_CHECK bool RefCountedObject::signatureValid() const noexcept {
  if (m_refSignature == kSignature) return true;
  notifyCorruption();
  return false;
}

int RefCountedObject::addRef() noexcept {
  if (!signatureValid()) return 0;
  return m_refCount.fetch_add(1) + 1;
}

int RefCountedObject::release() noexcept {
  if (!signatureValid()) return 0;
  std::int32_t current = m_refCount.load();
  do {
    if (current <= 0) return 0;
  } while (!m_refCount.compare_exchange_weak(current, current - 1));
  if (current == 1) delete this;
  return current - 1;
}

int RefCountedObject::refCount() const noexcept {
  if (!signatureValid()) return 0;
  return m_refCount.load();
}

RefCountedObject::~RefCountedObject() {
  if (m_refSignature != kSignature || m_refCount.load() != 0) {
    notifyCorruption();
    return;
  }
  clearSignature(m_refSignature);
}

_ckWeakPtr* _ckWeakPtr::create(void* target) noexcept {
  _ckWeakPtr* reference = newObject<_ckWeakPtr>(target);
  if (reference != nullptr) reference->addRef();
  return reference;
}

void* _ckWeakPtr::lockTarget() noexcept {
  enter();
  if (m_target != nullptr) return m_target;
  leave();
  return nullptr;
}

void _ckWeakPtr::unlockTarget() noexcept { leave(); }

void _ckWeakPtr::setTarget(void* target) noexcept {
  CritSecExitor guard(this);
  m_target = target;
}

}  // namespace rozazar
