// A staging block in front of an output that accepts bytes in bulk. The
// converters write small pieces into the block; whenever it fills, the block
// is handed to the flush routine in one call, so the output grows a few
// times per conversion instead of once per character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace rozazar::encoding {

class ByteSink {
 public:
  // Receives the staged bytes; false means the output refused them.
  using FlushRoutine = bool (*)(void* context, const unsigned char* data, std::size_t n);
  static constexpr std::size_t kBlockSize = 16384;
  // The most one reserve call may ask for.
  static constexpr std::size_t kMaxReserve = 64;

  ByteSink(FlushRoutine flushRoutine, void* context) noexcept
      : m_flush(flushRoutine), m_context(context) {}
  ByteSink(const ByteSink&) = delete;
  ByteSink& operator=(const ByteSink&) = delete;

  // Room for up to kMaxReserve bytes at the end of the staged data, or null
  // after a failed flush. The caller writes, then calls commit.
  unsigned char* reserve(std::size_t n) noexcept {
    if (kBlockSize - m_used < n && !flush()) return nullptr;
    return m_block + m_used;
  }
  void commit(std::size_t n) noexcept { m_used += n; }

  bool put(const void* data, std::size_t n) noexcept {
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (n > 0) {
      if (m_used == kBlockSize && !flush()) return false;
      const std::size_t room = kBlockSize - m_used;
      const std::size_t step = n < room ? n : room;
      std::memcpy(m_block + m_used, bytes, step);
      m_used += step;
      bytes += step;
      n -= step;
    }
    return !m_failed;
  }
  bool putByte(unsigned char b) noexcept {
    unsigned char* at = reserve(1);
    if (at == nullptr) return false;
    *at = b;
    commit(1);
    return true;
  }

  // Hands over what is staged; false once any flush has failed.
  bool flush() noexcept {
    if (m_failed) return false;
    if (m_used > 0 && !m_flush(m_context, m_block, m_used)) m_failed = true;
    m_used = 0;
    return !m_failed;
  }
  bool failed() const noexcept { return m_failed; }

 private:
  FlushRoutine m_flush;
  void* m_context;
  std::size_t m_used = 0;
  bool m_failed = false;
  unsigned char m_block[kBlockSize];
};

}  // namespace rozazar::encoding
