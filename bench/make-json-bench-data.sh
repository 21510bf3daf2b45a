#!/usr/bin/env bash
# Prepares the documents of the JSON benchmark in .cache/json-bench-data:
# twitter.json from Debian's simdjson source package, and two generated
# documents shaped like the other usual test documents: canada.json (a
# GeoJSON feature collection of about 2.2 MB, nearly all floating-point
# coordinate pairs) and citm_catalog.json (about 1.7 MB of indented objects
# with many short keys, integers and nested lists). The generator is seeded,
# so every run makes the same bytes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/.cache/json-bench-data"
src="$root/.cache/json-bench-src"
mkdir -p "$out" "$src"

# The same source package gives simdjson's single-file source, which the
# Windows build of the benchmark compiles (simdjson-singleheader).
single="$src/simdjson-singleheader"
if [ ! -s "$out/twitter.json" ] || [ ! -s "$single/simdjson.cpp" ]; then
  archives=("$src"/simdjson_*.orig.tar.gz)
  if [ ! -e "${archives[0]}" ]; then
    (cd "$src" && apt-get source --download-only simdjson)
    archives=("$src"/simdjson_*.orig.tar.gz)
  fi
  tar -xzf "${archives[0]}" -C "$src" --wildcards '*/jsonexamples/twitter.json' \
    '*/singleheader/simdjson.h' '*/singleheader/simdjson.cpp'
  examples=("$src"/simdjson-*/jsonexamples/twitter.json)
  cp "${examples[0]}" "$out/twitter.json"
  headers=("$src"/simdjson-*/singleheader)
  mkdir -p "$single"
  cp "${headers[0]}/simdjson.h" "${headers[0]}/simdjson.cpp" "$single/"
fi

python3 - "$out" <<'PY'
import json, random, sys
out = sys.argv[1]
rng = random.Random(20261208)

# canada.json: one feature with many polygons of long coordinate rings.
rings = []
total = 0
while total < 2_200_000:
    ring = []
    for _ in range(rng.randint(50, 800)):
        ring.append([round(rng.uniform(-141.0, -52.6), 15), round(rng.uniform(41.7, 83.1), 15)])
    rings.append(ring)
    total += len(json.dumps(ring, separators=(",", ":")))
canada = {"type": "FeatureCollection", "features": [{"type": "Feature",
          "properties": {"name": "Canada"},
          "geometry": {"type": "Polygon", "coordinates": rings}}]}
with open(f"{out}/canada.json", "w") as f:
    json.dump(canada, f, separators=(",", ":"))

# citm_catalog.json: events, performances, prices, areas, indented by four.
def name(n):
    return "".join(rng.choice("abcdefghijklmnopqrstuvwxyz ") for _ in range(n)).strip() or "x"
events = {}
performances = []
for i in range(190):
    eid = 138586341 + i * 17
    events[str(eid)] = {"description": None, "id": eid, "logo": None, "name": name(24),
                        "subTopicIds": [337184269 + rng.randint(0, 40) for _ in range(rng.randint(1, 4))],
                        "subjectCode": None, "subtitle": None,
                        "topicIds": [324846099 + rng.randint(0, 20) for _ in range(rng.randint(1, 3))]}
size = 0
pid = 339887544
while size < 1_250_000:
    perf = {"eventId": 138586341 + rng.randint(0, 189) * 17, "id": pid, "logo": None, "name": None,
            "prices": [{"amount": rng.randint(1, 400) * 500, "audienceSubCategoryId": 337100890,
                        "seatCategoryId": 338937295 + rng.randint(0, 30)} for _ in range(rng.randint(1, 6))],
            "seatCategories": [{"areas": [{"areaId": 205705993 + rng.randint(0, 60), "blockIds": []}
                                          for _ in range(rng.randint(1, 8))],
                                "seatCategoryId": 338937295 + rng.randint(0, 30)} for _ in range(rng.randint(1, 4))],
            "seatMapImage": None, "start": 1372701600000 + rng.randint(0, 10**9), "venueCode": "PLEYEL_PLEYEL"}
    performances.append(perf)
    size += len(json.dumps(perf, indent=4))
    pid += 1
citm = {"areaNames": {str(205705993 + i): name(12) for i in range(60)},
        "audienceSubCategoryNames": {"337100890": "Abonné"},
        "blockNames": {}, "events": events, "performances": performances,
        "seatCategoryNames": {str(338937295 + i): name(10) for i in range(31)},
        "subTopicNames": {str(337184269 + i): name(14) for i in range(41)},
        "subjectNames": {}, "topicNames": {str(324846099 + i): name(9) for i in range(21)},
        "topicSubTopics": {str(324846099 + i): [337184269 + i] for i in range(21)},
        "venueNames": {"PLEYEL_PLEYEL": "Salle Pleyel"}}
with open(f"{out}/citm_catalog.json", "w") as f:
    json.dump(citm, f, indent=4, ensure_ascii=False)
PY
ls -l "$out"
