// JSON escaping and unescaping of arbitrary bytes: no out-of-bounds access,
// escaped text that cannot break out of a JSON string, and unescaping that
// gives back exactly the bytes that were escaped.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "foundation/text/StringBuffer.h"

namespace {

// True when text could stand between the quotes of a JSON string: no control
// byte, and every quote and backslash part of an escape.
bool safeInsideJsonString(const char* text, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == '"') return false;
    if (c == '\\') {
      if (++i >= n) return false;
      const char e = text[i];
      if (std::strchr("\"\\/bfnrtu", e) == nullptr) return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using rozazar::StringBuffer;

  // Escape, check, unescape, compare.
  StringBuffer text;
  if (!text.appendBytes(data, size)) return 0;
  StringBuffer escaped;
  if (!escaped.setFromBuffer(text) || !escaped.escapeJsonInPlace()) return 0;
  if (!safeInsideJsonString(escaped.text(), escaped.length())) std::abort();
  StringBuffer back;
  if (!StringBuffer::jsonUnescapeAppend(escaped.text(), escaped.length(), back)) return 0;
  if (!back.equalsBuffer(text)) std::abort();

  // Unescape the raw bytes as if they were the inside of a JSON string.
  StringBuffer decoded("prefix");
  StringBuffer::jsonUnescapeAppend(reinterpret_cast<const char*>(data), size, decoded);
  if (!decoded.startsWith("prefix")) std::abort();
  if (decoded.text()[decoded.length()] != '\0') std::abort();
  return 0;
}
