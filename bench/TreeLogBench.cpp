// Rendering a tree log of 10,000 entries in one context as text, XML and
// HTML, beside a plain std::string concatenation of the same lines as the
// peer. Reports the time and the bytes of each rendering.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "foundation/text/StringBuffer.h"
#include "log/TreeLogger.h"

namespace {

constexpr int kEntries = 10000;

void fill(rozazar::_ckLogger& log) {
  log.enterContext("bulk", true);
  for (int i = 0; i < kEntries; ++i) {
    switch (i % 3) {
      case 0:
        log.logInfo("Parsed member value & moved on <ok>");
        break;
      case 1:
        log.logData("memberName", "a value of moderate length");
        break;
      default:
        log.logError("Could not convert the value to UTF-16");
        break;
    }
  }
  log.leaveContext();
}

template <void (rozazar::_ckLogger::*render)(rozazar::StringBuffer&)>
void BM_Render(benchmark::State& state) {
  rozazar::_ckLogger log;
  fill(log);
  rozazar::StringBuffer out;
  for (auto _ : state) {
    (log.*render)(out);
    benchmark::DoNotOptimize(out.text());
  }
  state.counters["bytes"] = static_cast<double>(out.length());
  state.SetBytesProcessed(static_cast<std::int64_t>(out.length()) * state.iterations());
}

// The peer: the same text lines joined in a std::string.
void BM_StdStringJoinOfTheTextLines(benchmark::State& state) {
  rozazar::_ckLogger log;
  fill(log);
  rozazar::StringBuffer rendered;
  log.renderText(rendered);
  const std::string all(rendered.text(), rendered.length());
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < all.size();) {
    const std::size_t end = all.find("\r\n", at);
    lines.push_back(all.substr(at, end - at));
    at = end + 2;
  }
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::string out;
    for (const std::string& line : lines) {
      out += line;
      out += "\r\n";
    }
    bytes = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes);
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
}

void BM_Fill10000Entries(benchmark::State& state) {
  for (auto _ : state) {
    rozazar::_ckLogger log;
    fill(log);
  }
  state.SetItemsProcessed(state.iterations() * kEntries);
}

}  // namespace

BENCHMARK_TEMPLATE(BM_Render, &rozazar::_ckLogger::renderText)->Name("BM_RenderText");
BENCHMARK_TEMPLATE(BM_Render, &rozazar::_ckLogger::renderXml)->Name("BM_RenderXml");
BENCHMARK_TEMPLATE(BM_Render, &rozazar::_ckLogger::renderHtml)->Name("BM_RenderHtml");
BENCHMARK(BM_StdStringJoinOfTheTextLines);
BENCHMARK(BM_Fill10000Entries);

BENCHMARK_MAIN();
