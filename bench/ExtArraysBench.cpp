// Growth cost of the foundation's arrays beside std::vector, the peer they
// are judged against (compare the ratios, not the times).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "foundation/containers/ExtIntArray.h"
#include "foundation/containers/ExtPtrArray.h"

namespace {

void BM_ExtPtrArrayAppend(benchmark::State& state) {
  rozazar::NonRefCountedObj object;
  for (auto _ : state) {
    rozazar::ExtPtrArray array;
    for (int64_t i = 0; i < state.range(0); ++i) array.append(&object);
    benchmark::DoNotOptimize(array.getAt(0));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_VectorOfPointersPushBack(benchmark::State& state) {
  rozazar::NonRefCountedObj object;
  for (auto _ : state) {
    std::vector<rozazar::RozazarObject*> array;
    for (int64_t i = 0; i < state.range(0); ++i) array.push_back(&object);
    benchmark::DoNotOptimize(array.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ExtIntArrayPush(benchmark::State& state) {
  for (auto _ : state) {
    rozazar::ExtIntArray array;
    for (int64_t i = 0; i < state.range(0); ++i) array.push(static_cast<std::int32_t>(i));
    benchmark::DoNotOptimize(array.getAt(0));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_VectorOfIntsPushBack(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<std::int32_t> array;
    for (int64_t i = 0; i < state.range(0); ++i) array.push_back(static_cast<std::int32_t>(i));
    benchmark::DoNotOptimize(array.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_ExtPtrArrayAppend)->Arg(100)->Arg(10000)->Arg(1000000);
BENCHMARK(BM_VectorOfPointersPushBack)->Arg(100)->Arg(10000)->Arg(1000000);
BENCHMARK(BM_ExtIntArrayPush)->Arg(100)->Arg(10000)->Arg(1000000);
BENCHMARK(BM_VectorOfIntsPushBack)->Arg(100)->Arg(10000)->Arg(1000000);

}  // namespace

BENCHMARK_MAIN();
