// EncConvert between every pair of supported code pages on arbitrary
// bytes. The first two bytes choose the pair. Whatever comes out of one
// conversion must convert on to UTF-8, text that converts without loss
// between the Unicode forms must come back unchanged, and text a code page
// produced without loss must come back as the same characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "foundation/containers/DataBuffer.h"
#include "foundation/encoding/Iscii.h"
#include "foundation/encoding/Transcoder.h"
#include "foundation/object/LogBase.h"
#include "foundation/text/EncodingConvert.h"

namespace {

const int kCodePages[] = {
    65001, 1200,  1201,  12000, 12001, 65005, 65006, 65000, 20127, 28591, 1250,  1251,  1252,
    1253,  1254,  1255,  1256,  1257,  1258,  37,    437,   500,   708,   720,   737,   775,
    850,   852,   855,   857,   858,   860,   861,   862,   863,   864,   865,   866,   869,
    870,   874,   875,   1026,  1047,  1140,  1141,  1142,  1143,  1144,  1145,  1146,  1147,
    1148,  1149,  10000, 10004, 10006, 10007, 10010, 10017, 10029, 10079, 10081, 10082, 20105,
    20106, 20107, 20108, 20273, 20277, 20278, 20280, 20284, 20285, 20290, 20297, 20420, 20423,
    20424, 20866, 20871, 20880, 20905, 21025, 21866, 28592, 28593, 28594, 28595, 28596, 28597,
    28598, 28599, 28603, 28605, 38598, 932,   936,   949,   950,   1361,  20261, 20269, 20932,
    51932, 20936, 51936, 20949, 51949, 54936, 50220, 50221, 50222, 50225, 50227, 52936, 10005,
    10021, 20833, 20838, 20924, 10001, 10002, 10003, 10008, 20000, 20001, 20002, 20003, 20004,
    20005, 55000, 55001, 55002, 55003, 55004, 57002, 57003, 57004, 57005, 57006, 57007, 57008,
    57009, 57010, 57011};
constexpr std::size_t kCount = sizeof kCodePages / sizeof kCodePages[0];

void require(bool condition) {
  if (!condition) std::abort();
}

bool isUnicodeForm(int codePage) {
  return codePage == 65001 || codePage == 1200 || codePage == 1201 || codePage == 12000 ||
         codePage == 12001 || codePage == 65005 || codePage == 65006;
}

bool isSevenBitForm(int codePage) {
  return codePage == 50221 || codePage == 50222 || codePage == 50225 || codePage == 50227 ||
         codePage == 52936;
}

bool hasShiftControls(const std::uint8_t* data, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0x0E || data[i] == 0x0F || data[i] == 0x1B) return true;
  }
  return false;
}

// A nukta sign of an Indic block (offset 0x3C or 0xBC in U+0900-U+0D7F) in
// UTF-8: after some consonants ISCII writes it as the nukta letter, which
// reads back precomposed.
bool hasIndicNukta(const std::uint8_t* data, std::size_t size) {
  for (std::size_t i = 0; i + 2 < size; ++i) {
    if (data[i] == 0xE0 && data[i + 1] >= 0xA4 && data[i + 1] <= 0xB5 && data[i + 2] == 0xBC)
      return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace rozazar;
  if (size < 2) return 0;
  const int from = kCodePages[data[0] % kCount];
  const int to = kCodePages[data[1] % kCount];
  data += 2;
  size -= 2;
  // Keep the PDF shortcut from hiding the converters.
  if (size > 6 && std::memcmp(data, "%PDF-1", 6) == 0) return 0;

  LogNull log;
  EncodingConvert first;
  DataBuffer converted;
  const bool ok = first.EncConvert(from, to, data, size, converted, log);
  // Ill-formed input is replaced, never refused, whatever the target.
  require(ok);

  // UTF-8 <-> UTF-16LE take a direct path; the general converter must agree
  // with it byte for byte, loss included.
  if ((from == 65001 && to == 1200) || (from == 1200 && to == 65001)) {
    struct Collected {
      std::vector<unsigned char> bytes;
      static bool flush(void* context, const unsigned char* d, std::size_t n) {
        auto* self = static_cast<Collected*>(context);
        self->bytes.insert(self->bytes.end(), d, d + n);
        return true;
      }
    } general;
    encoding::ByteSink sink(&Collected::flush, &general);
    bool lossy = false;
    require(encoding::transcode(from, to, data, size, sink, lossy));
    require(lossy == first.lossy());
    require(general.bytes.size() == converted.size());
    require(general.bytes.empty() ||
            std::memcmp(general.bytes.data(), converted.data(), converted.size()) == 0);
  }

  EncodingConvert second;
  DataBuffer utf8;
  second.EncConvert(to, 65001, converted.data(), converted.size(), utf8, log);

  // Characters a code page wrote without loss read back as themselves
  // (50220 writes half-width katakana as full-width ones, the shift and
  // escape controls are never text in the 7-bit forms, and ISCII joins a
  // consonant and the nukta sign).
  if (ok && !first.lossy() && from == 65001 && to != 50220 &&
      !(isSevenBitForm(to) && hasShiftControls(data, size)) &&
      !(encoding::isIsciiPage(to) && hasIndicNukta(data, size))) {
    EncodingConvert fourth;
    DataBuffer again;
    require(fourth.EncConvert(to, 65001, converted.data(), converted.size(), again, log));
    require(!fourth.lossy());
    require(again.size() == size && (size == 0 || std::memcmp(again.data(), data, size) == 0));
  }

  if (ok && !first.lossy() && isUnicodeForm(from) && isUnicodeForm(to)) {
    EncodingConvert third;
    DataBuffer back;
    require(third.EncConvert(to, from, converted.data(), converted.size(), back, log));
    require(!third.lossy());
    require(back.size() == size && (size == 0 || std::memcmp(back.data(), data, size) == 0));
  }
  return 0;
}
