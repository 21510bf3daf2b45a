// Hexadecimal decoding of arbitrary text: no out-of-bounds access, one byte
// per pair of digits (plus one for an odd leading digit), and exact decoding
// of what was encoded.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "foundation/containers/DataBuffer.h"
#include "foundation/text/StringBuffer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using rozazar::DataBuffer;
  using rozazar::StringBuffer;

  const auto* text = reinterpret_cast<const char*>(data);
  DataBuffer decoded;
  if (!StringBuffer::hexDecodeAppend(text, size, decoded)) return 0;
  std::size_t digits = 0;
  while (digits < size && data[digits] != 0) ++digits;
  if (digits >= 2 && data[0] == '0' && data[1] == 'x') digits -= 2;
  if (decoded.size() != (digits + 1) / 2) std::abort();

  // Encode the raw bytes and decode them again.
  static const char kDigits[] = "0123456789abcdefABCDEF";
  StringBuffer hex;
  for (std::size_t i = 0; i < size; ++i) {
    // Upper or lower case by the byte's own lowest bit.
    const unsigned upper = (data[i] & 1u) != 0 ? 6u : 0u;
    const unsigned high = data[i] >> 4;
    const unsigned low = data[i] & 15u;
    if (!hex.appendChar(kDigits[high < 10 ? high : high + upper]) ||
        !hex.appendChar(kDigits[low < 10 ? low : low + upper]))
      return 0;
  }
  DataBuffer roundTrip;
  if (!hex.hexDecodeInto(roundTrip)) return 0;
  if (roundTrip.size() != size) std::abort();
  if (size > 0 && std::memcmp(roundTrip.data(), data, size) != 0) std::abort();
  return 0;
}
