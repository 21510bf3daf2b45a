// Drives one XString with a sequence of setting, appending, reading,
// comparing and editing operations taken from the input, in every form,
// and checks that the forms always tell the same text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/containers/DataBuffer.h"
#include "foundation/text/EncodingConvert.h"
#include "foundation/text/XString.h"

namespace {

// Reports the line of a broken rule, then stops the run.
void requireAt(bool condition, int line) {
  if (condition) return;
  std::fprintf(stderr, "XStringFuzzer: rule at line %d broken\n", line);
  std::abort();
}
#define require(condition) requireAt((condition), __LINE__)

struct Input {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t pos = 0;
  std::uint8_t byte() { return pos < size ? data[pos++] : 0; }
  // A piece of up to 40 bytes.
  std::string piece() {
    const std::size_t n = byte() % 41;
    const std::size_t take = n < size - pos ? n : size - pos;
    std::string out(reinterpret_cast<const char*>(data + pos), take);
    pos += take;
    return out;
  }
  bool done() const { return pos >= size; }
};

std::u16string units16(const std::string& bytes) {
  std::u16string out;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
    out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                        (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace rozazar;
  static const int kAnsi[] = {1251, 1252, 65001, 28591};
  Input in{data, size};
  pinAnsiCodePageForTesting(kAnsi[in.byte() % 4]);
  XString s;
  XString other;
  while (!in.done()) {
    // Appending the string to itself doubles it; keep it small enough that
    // a long input cannot exhaust memory that way.
    if (s.charCount() > 65536) s.clear();
    const std::uint8_t op = in.byte();
    std::string p = in.piece();
    switch (op % 20) {
      case 0:
        s.setFromUtf8N(p.data(), p.size());
        break;
      case 1:
        s.setFromAnsi(p.c_str());
        break;
      case 2:
        s.setFromUtf16(units16(p).c_str());
        break;
      case 3:
        s.appendUtf8N(p.data(), p.size());
        break;
      case 4:
        s.appendAnsiN(p.data(), p.size());
        break;
      case 5: {
        const std::u16string u = units16(p);
        s.appendUtf16N(u.data(), u.size());
        break;
      }
      case 6: {
        std::vector<std::uint32_t> u(p.size() / 4);
        if (!u.empty()) std::memcpy(u.data(), p.data(), u.size() * 4);
        s.appendUtf32N(u.data(), u.size());
        break;
      }
      case 7:
        other.setFromUtf8N(p.data(), p.size());
        s.appendXString(other);
        break;
      case 8:
        s.appendXString(s);
        break;
      case 9:
        s.toLowerCase();
        break;
      case 10:
        s.equalsUtf8NoCase(p.c_str());
        s.startsWithUtf8(p.c_str(), true);
        s.endsWithUtf8(p.c_str(), true);
        break;
      case 11:
        s.containsNoCase(p.c_str());
        s.indexOfUtf8(p.c_str());
        break;
      case 12:
        if (p.size() >= 2) s.replaceChar(p[0], p[1]);
        break;
      case 13:
        if (!p.empty()) s.removeChar(p[0]);
        break;
      case 14:
        s.replaceFirstUtf8(p.c_str(), "x", (op & 0x80) != 0);
        break;
      case 15: {
        DataBuffer out;
        static const int kPages[] = {65001, 1200, 1201, 12000, 65000, 20127, 1251, 1258, 932, 5};
        s.getEncoded(kPages[op / 20 % 10], out);
        break;
      }
      case 16:
        other.copyFrom(s);
        require(other.sizeUtf8() == s.sizeUtf8());
        break;
      case 17:
        s.getUtf32();
        break;
      case 18:
        s.clear();
        break;
      default: {
        // The wide form and UTF-8 tell the same text. Raw UTF-8 may hold
        // ill-formed bytes that the wide form shows as U+FFFD, so the
        // comparison needs a UTF-8 form made by conversion.
        const bool utf8WasStale = !s.isUtf8Current() && !s.isAnsiCurrent();
        const char16_t* wide = s.getUtf16();
        require(wide != nullptr);
        std::size_t units = 0;
        while (wide[units] != 0) ++units;
        // Zero units inside the text (from zero bytes inside UTF-8) count too.
        require(s.charCount() >= units || s.isAnsiCurrent());
        if (utf8WasStale && units > 0 && wide[0] != 0xFEFF && wide[0] != 0xFFFE) {
          XString again;
          again.setFromUtf16(wide);
          require(std::strcmp(again.getUtf8(), s.getUtf8()) == 0);
        }
        break;
      }
    }
    require(s.isValid());
  }
  pinAnsiCodePageForTesting(0);
  return 0;
}
