// XString's UTF-8 -> UTF-16 -> UTF-8 round trip of a 10 MB mixed text
// (ASCII, Cyrillic, CJK, emoji) beside glibc's iconv doing the same two
// conversions in the same run (compare the ratio, not the times).
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/text/XString.h"

namespace {

const std::string& mixedText() {
  static const std::string text = [] {
    const char* pieces[] = {"The quick brown fox jumps over the lazy dog. ",
                            "Бързата кафява лисица прескача мързеливото куче. ",
                            "敏捷的棕色狐狸跳过了懒狗。", "\xF0\x9F\xA6\x8A\xF0\x9F\x90\xB6 ",
                            "JSON {\"key\": [1, 2, 3]}\n"};
    std::string out;
    std::size_t i = 0;
    while (out.size() < 10u * 1024u * 1024u) out += pieces[i++ % 5];
    return out;
  }();
  return text;
}

void BM_XStringRoundTrip(benchmark::State& state) {
  const std::string& text = mixedText();
  for (auto _ : state) {
    rozazar::XString utf8;
    utf8.setFromUtf8N(text.data(), text.size());
    const char16_t* wide = utf8.getUtf16();
    rozazar::XString back;
    back.setFromUtf16(wide);
    const char* result = back.getUtf8();
    benchmark::DoNotOptimize(result);
    if (back.sizeUtf8() != text.size()) state.SkipWithError("round trip changed the size");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}

// The same with one pair of strings kept across rounds: a string keeps the
// storage of its forms, so after the first round nothing is allocated.
void BM_XStringRoundTripReused(benchmark::State& state) {
  const std::string& text = mixedText();
  rozazar::XString utf8;
  rozazar::XString back;
  for (auto _ : state) {
    utf8.setFromUtf8N(text.data(), text.size());
    back.setFromUtf16(utf8.getUtf16());
    const char* result = back.getUtf8();
    benchmark::DoNotOptimize(result);
    if (back.sizeUtf8() != text.size()) state.SkipWithError("round trip changed the size");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}

// One iconv conversion of a whole buffer; the output buffer is large enough.
std::size_t convertWithIconv(iconv_t cd, const char* in, std::size_t n, std::vector<char>& out) {
  char* input = const_cast<char*>(in);
  std::size_t inLeft = n;
  char* output = out.data();
  std::size_t outLeft = out.size();
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &input, &inLeft, &output, &outLeft) == static_cast<std::size_t>(-1)) return 0;
  return out.size() - outLeft;
}

void BM_IconvRoundTrip(benchmark::State& state) {
  const std::string& text = mixedText();
  iconv_t toWide = iconv_open("UTF-16LE", "UTF-8");
  iconv_t toUtf8 = iconv_open("UTF-8", "UTF-16LE");
  if (toWide == reinterpret_cast<iconv_t>(-1) || toUtf8 == reinterpret_cast<iconv_t>(-1)) {
    state.SkipWithError("iconv_open failed");
    return;
  }
  for (auto _ : state) {
    // Fresh buffers per round, as XString allocates its forms per round.
    std::vector<char> wide(text.size() * 2 + 2);
    const std::size_t wideBytes = convertWithIconv(toWide, text.data(), text.size(), wide);
    std::vector<char> back(wideBytes * 2 + 4);
    const std::size_t backBytes = convertWithIconv(toUtf8, wide.data(), wideBytes, back);
    benchmark::DoNotOptimize(back.data());
    if (backBytes != text.size()) state.SkipWithError("round trip changed the size");
  }
  iconv_close(toWide);
  iconv_close(toUtf8);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}

void BM_IconvRoundTripReused(benchmark::State& state) {
  const std::string& text = mixedText();
  iconv_t toWide = iconv_open("UTF-16LE", "UTF-8");
  iconv_t toUtf8 = iconv_open("UTF-8", "UTF-16LE");
  if (toWide == reinterpret_cast<iconv_t>(-1) || toUtf8 == reinterpret_cast<iconv_t>(-1)) {
    state.SkipWithError("iconv_open failed");
    return;
  }
  std::vector<char> wide(text.size() * 2 + 2);
  std::vector<char> back(text.size() * 2 + 4);
  for (auto _ : state) {
    const std::size_t wideBytes = convertWithIconv(toWide, text.data(), text.size(), wide);
    const std::size_t backBytes = convertWithIconv(toUtf8, wide.data(), wideBytes, back);
    benchmark::DoNotOptimize(back.data());
    if (backBytes != text.size()) state.SkipWithError("round trip changed the size");
  }
  iconv_close(toWide);
  iconv_close(toUtf8);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}

}  // namespace

BENCHMARK(BM_XStringRoundTrip)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvRoundTrip)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XStringRoundTripReused)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvRoundTripReused)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
