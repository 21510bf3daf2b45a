#include "foundation/object/RozazarObject.h"

#include "foundation/object/Signature.h"

namespace rozazar {

void notifyCorruption() noexcept {}

RozazarObject::~RozazarObject() { clearSignature(m_objectSignature); }

ROZAZAR_SIGNATURE_CHECK bool RozazarObject::isValid(const RozazarObject* obj) noexcept {
  if (obj == nullptr) return false;
  if (obj->m_objectSignature == kSignature) return true;
  notifyCorruption();
  return false;
}

void RozazarObject::deleteObject(RozazarObject* obj) noexcept {
  if (obj != nullptr && isValid(obj)) obj->destroy();
}

ByteArrayOwner::~ByteArrayOwner() { delete[] m_block; }

void ByteArrayOwner::adopt(unsigned char* block) noexcept {
  if (block == m_block) return;
  delete[] m_block;
  m_block = block;
}

unsigned char* ByteArrayOwner::detach() noexcept {
  unsigned char* block = m_block;
  m_block = nullptr;
  return block;
}

}  // namespace rozazar
