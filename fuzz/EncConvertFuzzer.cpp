// EncConvert between every pair of supported code pages on arbitrary
// bytes. The first two bytes choose the pair. Whatever comes out of one
// conversion must convert on to UTF-8, and text that converts without loss
// between the Unicode forms must come back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "DataBuffer.h"
#include "EncodingConvert.h"
#include "LogBase.h"
#include "encoding/Transcoder.h"

namespace {

const int kCodePages[] = {65001, 1200, 1201, 12000, 12001, 65005, 65006, 65000, 20127, 28591,
                          1250,  1251, 1252, 1253,  1254,  1255,  1256,  1257,  1258};
constexpr std::size_t kCount = sizeof kCodePages / sizeof kCodePages[0];

void require(bool condition) {
  if (!condition) std::abort();
}

bool isUnicodeForm(int codePage) {
  return codePage == 65001 || codePage == 1200 || codePage == 1201 || codePage == 12000 ||
         codePage == 12001 || codePage == 65005 || codePage == 65006;
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
  require(ok || (from == 65001 && (to == 12000 || to == 12001 || to == 65005 || to == 65006)));

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

  if (ok && !first.lossy() && isUnicodeForm(from) && isUnicodeForm(to)) {
    EncodingConvert third;
    DataBuffer back;
    require(third.EncConvert(to, from, converted.data(), converted.size(), back, log));
    require(!third.lossy());
    require(back.size() == size && (size == 0 || std::memcmp(back.data(), data, size) == 0));
  }
  return 0;
}
