// Helpers of the code-page tests: conversions into byte vectors, the list
// of table-driven pages and the byte sequences each page defines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/encoding/CodePageTables.h"
#include "foundation/encoding/Transcoder.h"

namespace rozazar::encoding::testing {

using Bytes = std::vector<unsigned char>;

struct Converted {
  bool ok = false;
  bool lossy = false;
  Bytes bytes;
};

inline bool collectBytes(void* context, const unsigned char* data, std::size_t n) {
  auto* bytes = static_cast<Bytes*>(context);
  bytes->insert(bytes->end(), data, data + n);
  return true;
}

inline Converted convertBytes(int from, int to, const Bytes& input) {
  Converted result;
  ByteSink sink(&collectBytes, &result.bytes);
  result.ok = transcode(from, to, input.data(), input.size(), sink, result.lossy);
  return result;
}

inline Bytes utf32Of(const std::vector<std::uint32_t>& cps) {
  Bytes out;
  for (const std::uint32_t cp : cps) {
    for (int shift = 0; shift < 32; shift += 8)
      out.push_back(static_cast<unsigned char>(cp >> shift));
  }
  return out;
}

inline std::vector<std::uint32_t> codePointsOf(const Bytes& utf32) {
  std::vector<std::uint32_t> out;
  for (std::size_t i = 0; i + 3 < utf32.size(); i += 4) {
    out.push_back(utf32[i] | (utf32[i + 1] << 8) | (utf32[i + 2] << 16) |
                  (static_cast<std::uint32_t>(utf32[i + 3]) << 24));
  }
  return out;
}

// Every table-driven page the converter carries.
inline const std::vector<int>& tablePages() {
  static const std::vector<int> pages = {
      37,    437,   500,   708,   720,   737,   775,   850,   852,   855,   857,   858,   860,
      861,   862,   863,   864,   865,   866,   869,   870,   874,   875,   1026,  1047,  1140,
      1141,  1142,  1143,  1144,  1145,  1146,  1147,  1148,  1149,  1250,  1251,  1252,  1253,
      1254,  1255,  1256,  1257,  1258,  10000, 10004, 10006, 10007, 10010, 10017, 10029, 10079,
      10081, 10082, 10005, 10021, 20833, 20838, 20924, 10001, 10002, 10003, 10008, 20000, 20001,
      20002, 20003, 20004, 20005, 20105, 20106, 20107, 20108, 20273, 20277, 20278, 20280, 20284,
      20285, 20290, 20297, 20420, 20423, 20424, 20866, 20871, 20880, 20905, 21025, 21866, 28592,
      28593, 28594, 28595, 28596, 28597, 28598, 28599, 28603, 28605, 38598, 932,   936,   949,
      950,   1361,  20261, 20269, 20932, 51932, 20936, 51936, 20949, 51949, 54936};
  return pages;
}

// The byte sequences a page's tables define, each as its own vector.
inline std::vector<Bytes> definedSequences(const CodePageTables& tables) {
  std::vector<Bytes> out;
  for (unsigned b = 0; b < 256; ++b) {
    const std::uint16_t value = tables.singles[b];
    const unsigned char byte = static_cast<unsigned char>(b);
    if (value == CodePageTables::kUndefined) continue;
    if (value != CodePageTables::kLead) {
      out.push_back({byte});
      continue;
    }
    for (unsigned t = 0; t < 256; ++t) {
      const unsigned char trail = static_cast<unsigned char>(t);
      if (tables.pairs != nullptr && tables.pairs[(b << 8) | t] != CodePageTables::kUndefined)
        out.push_back({byte, trail});
      if (b != 0x8F || tables.triples == nullptr) continue;
      for (unsigned third = 0; third < 256; ++third) {
        if (tables.triples[(t << 8) | third] != CodePageTables::kUndefined)
          out.push_back({byte, trail, static_cast<unsigned char>(third)});
      }
    }
  }
  return out;
}

}  // namespace rozazar::encoding::testing
