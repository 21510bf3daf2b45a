// Building a long text by many small appends: StringBuffer beside std::string
// doing the same in the same run (compare ns/byte across sizes and against
// the peer, not absolute times).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "foundation/text/StringBuffer.h"

namespace {

constexpr std::int64_t kMiB = 1 << 20;

// Seconds per byte, shown with an SI prefix (n = nanoseconds).
void reportPerByte(benchmark::State& state) {
  const double bytes =
      static_cast<double>(state.range(0)) * static_cast<double>(state.iterations());
  state.counters["per_byte"] =
      benchmark::Counter(bytes, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}

const char kPiece[] =
    "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcdefghijklmnopqrstuv"
    "w"
    "xyz12";
static_assert(sizeof kPiece == 101, "a piece is 100 bytes");

void BM_StringBufferAppendChar(benchmark::State& state) {
  for (auto _ : state) {
    rozazar::StringBuffer sb;
    for (std::int64_t i = 0; i < state.range(0); ++i)
      sb.appendChar(static_cast<char>('a' + (i & 15)));
    benchmark::DoNotOptimize(sb.text());
  }
  reportPerByte(state);
}

void BM_StdStringPushBack(benchmark::State& state) {
  for (auto _ : state) {
    std::string s;
    for (std::int64_t i = 0; i < state.range(0); ++i)
      s.push_back(static_cast<char>('a' + (i & 15)));
    benchmark::DoNotOptimize(s.data());
  }
  reportPerByte(state);
}

void BM_StringBufferAppendText100(benchmark::State& state) {
  for (auto _ : state) {
    rozazar::StringBuffer sb;
    for (std::int64_t i = 0; i < state.range(0); i += 100) sb.appendText(kPiece);
    benchmark::DoNotOptimize(sb.text());
  }
  reportPerByte(state);
}

void BM_StdStringAppend100(benchmark::State& state) {
  for (auto _ : state) {
    std::string s;
    for (std::int64_t i = 0; i < state.range(0); i += 100) s.append(kPiece);
    benchmark::DoNotOptimize(s.data());
  }
  reportPerByte(state);
}

}  // namespace

#define TESSEL_SIZES ->Arg(kMiB)->Arg(10 * kMiB)->Arg(100 * kMiB)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_StringBufferAppendChar) TESSEL_SIZES;
BENCHMARK(BM_StdStringPushBack) TESSEL_SIZES;
BENCHMARK(BM_StringBufferAppendText100) TESSEL_SIZES;
BENCHMARK(BM_StdStringAppend100) TESSEL_SIZES;

BENCHMARK_MAIN();
