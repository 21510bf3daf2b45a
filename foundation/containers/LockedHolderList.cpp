#include "foundation/containers/LockedHolderList.h"

#include "foundation/object/Allocation.h"

namespace rozazar {

PayloadHolder::~PayloadHolder() { deleteObject(m_payload); }

RozazarObject* PayloadHolder::takePayload() noexcept {
  RozazarObject* payload = m_payload;
  m_payload = nullptr;
  return payload;
}

LockedHolderList::LockedHolderList(RozazarCritSec* lock) noexcept : m_lock(lock) {
  m_holders.setOwnsElements(true);
}

LockedHolderList::~LockedHolderList() { deleteAllHolders(); }

PayloadHolder* LockedHolderList::holderAt(int index) noexcept {
  // Only PayloadHolders are ever put into the list.
  return static_cast<PayloadHolder*>(m_holders.getAt(index));
}

bool LockedHolderList::addPayload(RozazarObject* payload) noexcept {
  if (!RozazarObject::isValid(payload)) return false;
  PayloadHolder* holder = newObject<PayloadHolder>(payload);
  if (holder == nullptr) return false;
  bool added = false;
  {
    CritSecExitor guard(m_lock);
    added = m_holders.append(holder);
  }
  if (!added) {
    holder->takePayload();
    RozazarObject::deleteObject(holder);
  }
  return added;
}

int LockedHolderList::countHolders() noexcept {
  CritSecExitor guard(m_lock);
  return m_holders.count();
}

RozazarObject* LockedHolderList::payloadAt(int index) noexcept {
  CritSecExitor guard(m_lock);
  PayloadHolder* holder = holderAt(index);
  return holder != nullptr ? holder->payload() : nullptr;
}

RozazarObject* LockedHolderList::removePayloadAt(int index) noexcept {
  RozazarObject* taken = nullptr;
  {
    CritSecExitor guard(m_lock);
    taken = m_holders.removeAt(index);
  }
  // The list holds nothing but holders.
  auto* holder = static_cast<PayloadHolder*>(taken);
  if (holder == nullptr) return nullptr;
  RozazarObject* payload = holder->takePayload();
  RozazarObject::deleteObject(holder);
  return payload;
}

void LockedHolderList::deleteAllHolders() noexcept {
  ExtPtrArray doomed;
  doomed.setOwnsElements(true);
  {
    CritSecExitor guard(m_lock);
    // Should the local array run out of room, the rest die in place.
    if (!doomed.takeAllFrom(m_holders)) m_holders.deleteAll();
  }
  doomed.deleteAll();
}

}  // namespace rozazar
