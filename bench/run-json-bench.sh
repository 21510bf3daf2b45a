#!/usr/bin/env bash
# The JSON benchmark in one command, natively or as a 32- or 64-bit Windows
# program under Wine, printed as ratios against the peers measured in the
# same run.
#
#   bench/run-json-bench.sh native|win32|win64 [repetitions]   (default 3)
#
# Builds bench_json with the preset bench (native), bench-windows (win32,
# the product's own architecture; needs a machine that runs i386 code) or
# bench-windows64 (win64); the Windows ones need Google Benchmark for mingw
# from scripts/build-benchmark-mingw.sh i686 or x86_64. It prepares the
# documents with make-json-bench-data.sh and prints, per document, peer
# time / our time for loading and emitting (above 1: we are faster) and the
# heap per input byte each keeps after loading.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
target=${1:-}
repetitions=${2:-3}
case "$target" in
  native) preset=bench ;;
  win32) preset=bench-windows ;;
  win64) preset=bench-windows64 ;;
  *)
    echo "usage: $0 native|win32|win64 [repetitions]" >&2
    exit 2
    ;;
esac
cd "$top"
"$top/bench/make-json-bench-data.sh"
cmake --preset "$preset" >"build/$preset.configure.log" 2>&1 ||
  { cat "build/$preset.configure.log"; exit 1; }
cmake --build --preset "$preset" -j 2 --target bench_json

results=$(mktemp)
trap 'rm -f "$results"' EXIT
options=(--benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true
  --benchmark_out_format=json)
if [ "$target" = native ]; then
  "build/$preset/bench/bench_json" "${options[@]}" --benchmark_out="$results" >/dev/null
else
  "$top/scripts/wine-session.sh" "$target" "$top/scripts/wine-run.sh" "$target" \
    "build/$preset/bench/bench_json.exe" "${options[@]}" --benchmark_out="Z:$results" >/dev/null
fi

python3 - "$results" "$target" <<'PY'
import json, sys
runs = json.load(open(sys.argv[1]))["benchmarks"]
median = {r["run_name"]: r for r in runs if r.get("aggregate_name") == "median"}
documents = ["twitter", "citm_catalog", "canada"]

def time(name, doc):
    return median[f"{name}/{doc}"]["real_time"]

def heap(name, doc):
    return median[f"{name}/{doc}"].get("heap_per_byte", float("nan"))

rows = [
    ("Load: RapidJSON in situ", "LoadRapidJsonInsitu", "LoadTessel"),
    ("Load: RapidJSON normal", "LoadRapidJson", "LoadTessel"),
    ("Load: nlohmann::json", "LoadNlohmann", "LoadTessel"),
    ("Load: simdjson DOM", "LoadSimdjson", "LoadTessel"),
    ("Emit: RapidJSON Writer", "EmitRapidJson", "EmitTessel"),
    ("Emit: nlohmann dump", "EmitNlohmann", "EmitTessel"),
    ("Emit: simdjson to_string", "EmitSimdjson", "EmitTessel"),
    ("Emit indented: PrettyWriter", "EmitRapidJsonIndented", "EmitTesselIndented"),
]
print(f"JSON benchmark ({sys.argv[2]}), median of the repetitions")
print(f"{'peer time / our time':32}" + "".join(f"{d:>14}" for d in documents))
for label, peer, ours in rows:
    print(f"{label:32}" + "".join(f"{time(peer, i) / time(ours, i):14.2f}"
                                  for i in range(len(documents))))
print(f"{'Load: ours, ms':32}" + "".join(f"{time('LoadTessel', i):14.2f}"
                                         for i in range(len(documents))))
print(f"{'heap per input byte':32}" + "".join(f"{d:>14}" for d in documents))
for label, name in [("ours", "LoadTessel"), ("RapidJSON in situ", "LoadRapidJsonInsitu"),
                    ("RapidJSON normal", "LoadRapidJson"), ("nlohmann::json", "LoadNlohmann"),
                    ("simdjson DOM", "LoadSimdjson")]:
    print(f"{label:32}" + "".join(f"{heap(name, i):14.2f}" for i in range(len(documents))))
PY
