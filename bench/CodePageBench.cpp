// EncConvert from windows-1251 to UTF-8 and from 932 (Shift_JIS) to UTF-16
// over 4 MB texts, beside glibc's iconv doing the same conversions in the
// same run (compare the ratio, not the times). The output buffer is kept
// across rounds on both sides.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <string>
#include <vector>

#include "foundation/containers/DataBuffer.h"
#include "foundation/object/LogBase.h"
#include "foundation/text/EncodingConvert.h"

namespace {

constexpr std::size_t kTextSize = 4u * 1024u * 1024u;

// UTF-8 pieces repeated to kTextSize, then converted to the code page by
// iconv so that both sides read the very same bytes.
std::string textIn(const char* iconvName, const std::vector<const char*>& pieces) {
  std::string utf8;
  for (std::size_t i = 0; utf8.size() < kTextSize; ++i) utf8 += pieces[i % pieces.size()];
  iconv_t cd = iconv_open(iconvName, "UTF-8");
  std::string out(utf8.size() * 2, '\0');
  char* in = &utf8[0];
  std::size_t inLeft = utf8.size();
  char* at = &out[0];
  std::size_t outLeft = out.size();
  iconv(cd, &in, &inLeft, &at, &outLeft);
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

const std::string& cyrillicText() {
  static const std::string text =
      textIn("CP1251", {"Бързата кафява лисица прескача мързеливото куче. ",
                        "Съешь же ещё этих мягких французских булок, да выпей чаю. ",
                        "Code 1251, line 42: ОК.\n"});
  return text;
}

const std::string& japaneseText() {
  static const std::string text =
      textIn("CP932", {"日本語のテキストを変換します。", "ｶﾀｶﾅ and ASCII mixed, 2026年12月8日. ",
                       "いろはにほへと ちりぬるを ①②③\n"});
  return text;
}

void runEncConvert(benchmark::State& state, int from, int to, const std::string& text) {
  rozazar::EncodingConvert converter;
  rozazar::LogNull log;
  rozazar::DataBuffer out;
  const auto* data = reinterpret_cast<const unsigned char*>(text.data());
  for (auto _ : state) {
    out.clear();
    if (!converter.EncConvert(from, to, data, text.size(), out, log))
      state.SkipWithError("EncConvert failed");
    benchmark::DoNotOptimize(out.data());
  }
  if (converter.lossy()) state.SkipWithError("lossy conversion");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}

void runIconv(benchmark::State& state, const char* to, const char* from, const std::string& text) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    state.SkipWithError("iconv_open failed");
    return;
  }
  std::vector<char> out(text.size() * 3 + 16);
  for (auto _ : state) {
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char* at = out.data();
    std::size_t outLeft = out.size();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &in, &inLeft, &at, &outLeft) == static_cast<std::size_t>(-1))
      state.SkipWithError("iconv failed");
    benchmark::DoNotOptimize(out.data());
  }
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}

void BM_EncConvert1251ToUtf8(benchmark::State& state) {
  runEncConvert(state, 1251, 65001, cyrillicText());
}
void BM_Iconv1251ToUtf8(benchmark::State& state) {
  runIconv(state, "UTF-8", "CP1251", cyrillicText());
}
void BM_EncConvert932ToUtf16(benchmark::State& state) {
  runEncConvert(state, 932, 1200, japaneseText());
}
void BM_Iconv932ToUtf16(benchmark::State& state) {
  runIconv(state, "UTF-16LE", "CP932", japaneseText());
}

}  // namespace

BENCHMARK(BM_EncConvert1251ToUtf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Iconv1251ToUtf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncConvert932ToUtf16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Iconv932ToUtf16)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
