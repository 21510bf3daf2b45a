// The root of the foundation's objects. A live object carries a signature
// word that its destructor clears; containers and deletion check it, so a
// destroyed, foreign or overwritten object is recognised and left alone.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rozazar {

// Called whenever an operation meets a signature word that does not match.
// It deliberately does nothing: it is the one place to hook a report or set
// a breakpoint when hunting a corrupted object.
void notifyCorruption() noexcept;

class RozazarObject {
 public:
  static constexpr std::uint32_t kSignature = 0x62CB09E3u;

  RozazarObject() noexcept = default;
  // A copy is a new object with its own signature.
  RozazarObject(const RozazarObject&) noexcept {}
  RozazarObject& operator=(const RozazarObject&) noexcept { return *this; }
  virtual ~RozazarObject();

  // Heap bytes the object owns beyond its own size.
  virtual std::size_t ownedHeapBytes() const noexcept { return 0; }

  // True when obj is non-null and carries the signature of a live object.
  // A mismatch is reported to notifyCorruption.
  static bool isValid(const RozazarObject* obj) noexcept;

  // Destroys and frees obj through its virtual destructor when it is a live
  // object; does nothing for null or an object whose signature is wrong.
  static void deleteObject(RozazarObject* obj) noexcept;

 protected:
  // Destroys the object and frees its storage; deleteObject's last step. An
  // object placed in storage it does not get from the heap (a pool slot)
  // overrides this to hand the storage back where it came from.
  virtual void destroy() noexcept { delete this; }

 private:
  std::uint32_t m_objectSignature = kSignature;
};

// Base of objects with exactly one owner.
class NonRefCountedObj : public RozazarObject {};

// Owns one block allocated with new[] and releases it when destroyed.
class ByteArrayOwner : public RozazarObject {
 public:
  explicit ByteArrayOwner(unsigned char* block = nullptr) noexcept : m_block(block) {}
  ByteArrayOwner(const ByteArrayOwner&) = delete;
  ByteArrayOwner& operator=(const ByteArrayOwner&) = delete;
  ~ByteArrayOwner() override;

  unsigned char* block() const noexcept { return m_block; }
  // Takes ownership of block, releasing the block held before.
  void adopt(unsigned char* block) noexcept;
  // Gives up ownership without releasing.
  unsigned char* detach() noexcept;

 private:
  unsigned char* m_block;
};

}  // namespace rozazar
