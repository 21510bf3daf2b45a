// utf8ToUtf32 and utf32ToUtf8 on arbitrary bytes, with the single-sequence
// routines beside them. Well-formed UTF-8 must survive the round trip
// through UTF-32 in both byte orders exactly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "foundation/containers/DataBuffer.h"
#include "foundation/text/Utf8Codec.h"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace rozazar;
  DataBuffer little;
  const bool valid = utf8ToUtf32(data, size, false, little);
  DataBuffer big;
  require(utf8ToUtf32(data, size, true, big) == valid);
  require(little.size() == big.size() && little.size() % 4 == 0);
  for (std::uint32_t i = 0; i < little.size(); i += 4) {
    for (int j = 0; j < 4; ++j) require(little.data()[i + j] == big.data()[i + 3 - j]);
  }

  std::vector<std::uint32_t> units(little.size() / 4);
  if (!units.empty()) std::memcpy(units.data(), little.data(), little.size());
  DataBuffer back;
  require(utf32ToUtf8(units.data(), units.size(), back));
  if (valid) {
    require(back.size() == size);
    require(size == 0 || std::memcmp(back.data(), data, size) == 0);
  }

  // The raw bytes as UTF-32 units: any value must encode without trouble.
  std::vector<std::uint32_t> raw(size / 4);
  if (!raw.empty()) std::memcpy(raw.data(), data, raw.size() * 4);
  DataBuffer encoded;
  require(utf32ToUtf8(raw.data(), raw.size(), encoded));

  // Sequence lengths never pass the end; decoding a zero-terminated copy
  // never passes the terminator.
  for (std::size_t i = 0; i < size;) {
    const int length = utf8SequenceLength(data + i, static_cast<int>(size - i));
    require(length >= 1 && static_cast<std::size_t>(length) <= size - i);
    i += static_cast<std::size_t>(length);
  }
  std::vector<unsigned char> text(data, data + size);
  text.push_back(0);
  std::size_t index = 0;
  while (index < size && text[index] != 0) {
    const std::uint32_t cp = utf8DecodeCodePoint(text.data(), index);
    require(index <= size + 1);
    if (cp == 0) break;
  }
  return 0;
}
