// Load and emit throughput of the JSON document model against RapidJSON
// (DOM, in situ and normal; Writer for output), nlohmann::json and simdjson
// (DOM), on the same documents in the same run, and the heap each keeps per
// input byte after loading. Prepare the documents first with
// bench/make-json-bench-data.sh.
#include <benchmark/benchmark.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include <malloc.h>
#endif

#include <rapidjson/document.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>
#include <simdjson.h>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "foundation/containers/DataBuffer.h"
#include "foundation/object/LogBase.h"
#include "foundation/text/StringBuffer.h"
#include "foundation/text/XString.h"
#include "json/internal/ClsJsonObject.h"
#include "json/internal/JsonEmitter.h"
#include "json/internal/JsonNodes.h"
#include "json/internal/JsonParser.h"
#include "json/internal/JsonPool.h"

namespace {

using namespace rozazar;

const char* const kDocuments[] = {"twitter.json", "citm_catalog.json", "canada.json"};

const std::string& document(int index) {
  static std::vector<std::string> texts;
  if (texts.empty()) {
    for (const char* name : kDocuments) {
      std::ifstream file(std::string(TESSEL_JSON_BENCH_DATA) + "/" + name, std::ios::binary);
      std::stringstream content;
      content << file.rdbuf();
      texts.push_back(content.str());
      if (texts.back().empty())
        std::fprintf(stderr, "missing %s: run make-json-bench-data.sh\n", name);
    }
  }
  return texts[static_cast<std::size_t>(index)];
}

// Bytes of the C library's heap in use; the difference across a load is
// what the loaded document holds.
#if defined(_WIN32)
// mingw's malloc takes its blocks from a Win32 heap of the C runtime: the
// busy blocks of every heap of the process are summed.
std::size_t heapInUse() {
  HANDLE heaps[64];
  const DWORD count = GetProcessHeaps(64, heaps);
  std::size_t busy = 0;
  for (DWORD i = 0; i < count && i < 64; ++i) {
    if (!HeapLock(heaps[i])) continue;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heaps[i], &entry)) {
      if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0) busy += entry.cbData;
    }
    HeapUnlock(heaps[i]);
  }
  return busy;
}
#else
// Blocks the allocator mapped on their own count as well as those of its
// arenas: large buffers go either way, depending on what was freed before.
std::size_t heapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}
#endif

void finish(benchmark::State& state, const std::string& text, std::size_t heapAfterLoad) {
  state.SetLabel(kDocuments[state.range(0)]);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  if (heapAfterLoad != 0)
    state.counters["heap_per_byte"] =
        static_cast<double>(heapAfterLoad) / static_cast<double>(text.size());
}

// ---- This model ----

struct TesselDoc {
  _ckJsonDoc* doc = _ckJsonDoc::createNew();
  ~TesselDoc() { RozazarObject::deleteObject(doc); }
  bool load(const std::string& text) {
    DataBuffer input;
    input.appendBytes(text.data(), text.size());
    LogNull log;
    return parseJsonDoc(*doc, input, true, nullptr, log);
  }
};

void LoadTessel(benchmark::State& state) {
  const std::string& text = document(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    TesselDoc doc;
    benchmark::DoNotOptimize(doc.load(text));
  }
  // The slabs that the loop's documents left in the pools' cache are freed
  // first, so that the slabs of the document kept count as its own.
  JsonPool::releaseCachedSlabs();
  const std::size_t before = heapInUse();
  TesselDoc kept;
  kept.load(text);
  finish(state, text, heapInUse() - before);
}

void LoadTesselInterface(benchmark::State& state) {
  const std::string& text = document(static_cast<int>(state.range(0)));
  XString input;
  input.setFromUtf8N(text.data(), text.size());
  for (auto _ : state) {
    ClsJsonObject* json = ClsJsonObject::createNew();
    benchmark::DoNotOptimize(json->Load(input));
    json->release();
  }
  finish(state, text, 0);
}

void emitTessel(benchmark::State& state, bool compact) {
  const std::string& text = document(static_cast<int>(state.range(0)));
  TesselDoc doc;
  doc.load(text);
  std::size_t emitted = 0;
  for (auto _ : state) {
    StringBuffer out;
    EmitOptions options;
    options.compact = compact ? 1 : 0;
    // Line feeds only, as the peers write them.
    options.crLf = 0;
    benchmark::DoNotOptimize(emitObject(*doc.doc->topObject(), out, options));
    emitted = out.length();
  }
  state.counters["out_bytes"] = static_cast<double>(emitted);
  finish(state, text, 0);
}

void EmitTessel(benchmark::State& state) { emitTessel(state, true); }

// Two spaces per level, as the peer below is set up.
void EmitTesselIndented(benchmark::State& state) { emitTessel(state, false); }

// ---- RapidJSON ----

void LoadRapidJsonInsitu(benchmark::State& state) {
  const std::string& text = document(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::string copy = text;
    rapidjson::Document doc;
    doc.ParseInsitu(&copy[0]);
    benchmark::DoNotOptimize(doc.HasParseError());
  }
  const std::size_t before = heapInUse();
  {
    std::string copy = text;
    rapidjson::Document doc;
    doc.ParseInsitu(&copy[0]);
    finish(state, text, heapInUse() - before);
  }
}

void LoadRapidJson(benchmark::State& state) {
  const std::string& text = document(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    rapidjson::Document doc;
    doc.Parse(text.data(), text.size());
    benchmark::DoNotOptimize(doc.HasParseError());
  }
  const std::size_t before = heapInUse();
  rapidjson::Document doc;
  doc.Parse(text.data(), text.size());
  finish(state, text, heapInUse() - before);
}

// RapidJSON's output through `Writer`: compact, or indented by two spaces
// for the pretty writer.
template <typename Writer>
void emitRapidJsonWith(benchmark::State& state) {
  const std::string& text = document(static_cast<int>(state.range(0)));
  rapidjson::Document doc;
  doc.Parse(text.data(), text.size());
  std::size_t emitted = 0;
  for (auto _ : state) {
    rapidjson::StringBuffer out;
    Writer writer(out);
    if constexpr (std::is_same_v<Writer, rapidjson::PrettyWriter<rapidjson::StringBuffer>>) {
      writer.SetIndent(' ', 2);
    }
    benchmark::DoNotOptimize(doc.Accept(writer));
    emitted = out.GetSize();
  }
  state.counters["out_bytes"] = static_cast<double>(emitted);
  finish(state, text, 0);
}

void EmitRapidJson(benchmark::State& state) {
  emitRapidJsonWith<rapidjson::Writer<rapidjson::StringBuffer>>(state);
}

void EmitRapidJsonIndented(benchmark::State& state) {
  emitRapidJsonWith<rapidjson::PrettyWriter<rapidjson::StringBuffer>>(state);
}

// ---- nlohmann::json ----

void LoadNlohmann(benchmark::State& state) {
  const std::string& text = document(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    nlohmann::json doc = nlohmann::json::parse(text);
    benchmark::DoNotOptimize(doc.size());
  }
  const std::size_t before = heapInUse();
  nlohmann::json doc = nlohmann::json::parse(text);
  finish(state, text, heapInUse() - before);
}

void EmitNlohmann(benchmark::State& state) {
  const std::string& text = document(static_cast<int>(state.range(0)));
  nlohmann::json doc = nlohmann::json::parse(text);
  for (auto _ : state) {
    std::string out = doc.dump();
    benchmark::DoNotOptimize(out.data());
  }
  finish(state, text, 0);
}

// ---- simdjson ----

void LoadSimdjson(benchmark::State& state) {
  const std::string& text = document(static_cast<int>(state.range(0)));
  simdjson::padded_string padded(text);
  simdjson::dom::parser parser;
  for (auto _ : state) {
    simdjson::dom::element root;
    benchmark::DoNotOptimize(parser.parse(padded).get(root));
  }
  const std::size_t before = heapInUse();
  simdjson::dom::parser fresh;
  simdjson::dom::element root;
  if (fresh.parse(padded).get(root) != simdjson::SUCCESS) state.SkipWithError("parse failed");
  finish(state, text, heapInUse() - before);
}

void EmitSimdjson(benchmark::State& state) {
  const std::string& text = document(static_cast<int>(state.range(0)));
  simdjson::padded_string padded(text);
  simdjson::dom::parser parser;
  simdjson::dom::element root;
  if (parser.parse(padded).get(root) != simdjson::SUCCESS) state.SkipWithError("parse failed");
  for (auto _ : state) {
    std::string out = simdjson::to_string(root);
    benchmark::DoNotOptimize(out.data());
  }
  finish(state, text, 0);
}

}  // namespace

BENCHMARK(LoadTessel)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadTesselInterface)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadRapidJsonInsitu)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadRapidJson)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadNlohmann)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadSimdjson)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(EmitTessel)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(EmitRapidJson)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(EmitTesselIndented)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(EmitRapidJsonIndented)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(EmitNlohmann)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(EmitSimdjson)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
