// A list of holder objects, each owning one payload object, guarded by an
// optional critical section that every access enters.
#pragma once

#include "foundation/containers/ExtPtrArray.h"
#include "foundation/object/RozazarCritSec.h"

namespace rozazar {

// Owns one payload and deletes it with itself.
class PayloadHolder : public NonRefCountedObj {
 public:
  explicit PayloadHolder(RozazarObject* payload) noexcept : m_payload(payload) {}
  ~PayloadHolder() override;

  RozazarObject* payload() const noexcept { return m_payload; }
  // Gives up the payload without deleting it.
  RozazarObject* takePayload() noexcept;

 private:
  RozazarObject* m_payload;
};

class LockedHolderList {
 public:
  // lock may be null: the list is then used from one thread only.
  explicit LockedHolderList(RozazarCritSec* lock = nullptr) noexcept;
  LockedHolderList(const LockedHolderList&) = delete;
  LockedHolderList& operator=(const LockedHolderList&) = delete;
  ~LockedHolderList();

  // Wraps payload in a new holder at the end; false (payload not taken)
  // when the holder can't be made or payload is not a live object.
  bool addPayload(RozazarObject* payload) noexcept;
  int countHolders() noexcept;
  // The payload of the holder at index, or null.
  RozazarObject* payloadAt(int index) noexcept;
  // Takes the holder at index out, deletes it and returns its payload, which
  // now belongs to the caller; null for a bad index.
  RozazarObject* removePayloadAt(int index) noexcept;
  // Deletes every holder with its payload. The holders leave the list
  // first and die outside the lock, so a dying payload finds the list empty
  // and never waits on its lock.
  void deleteAllHolders() noexcept;

 private:
  PayloadHolder* holderAt(int index) noexcept;

  RozazarCritSec* m_lock;
  ExtPtrArray m_holders;
};

}  // namespace rozazar
