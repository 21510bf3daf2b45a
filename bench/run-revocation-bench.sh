#!/usr/bin/env bash
# The revocation-check benchmark: CheckRevocation (Windows build, under Wine)
# against openssl on the same CRL files, in one run.
#
#   bench/run-revocation-bench.sh [build folder]   (default build/windows64)
#
# Needs the Windows build of bench_revocation_check (configured when
# scripts/build-benchmark-mingw.sh has installed Google Benchmark for mingw).
# Prints, per CRL: our seconds and MB/s, openssl's, and the ratio.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build/windows64}" && pwd)
exe="$build/tests/certs/bench_revocation_check.exe"
[ -f "$exe" ] || { echo "no $exe: build the target bench_revocation_check" >&2; exit 1; }
# The Wine of the executable's bitness: a PE32+ image has the optional-header
# magic 0x20b.
pe_offset=$(od -An -tu4 -j60 -N4 "$exe" | tr -d ' ')
magic=$(od -An -tx2 -j$((pe_offset + 24)) -N2 "$exe" | tr -d ' ')
[ "$magic" = 20b ] && arch=win64 || arch=win32
pki="$build/bench-pki"
crls="$build/bench-crls"
[ -f "$pki/valid.pem" ] || "$top/testing/pki/make-test-pki.sh" "$pki" >/dev/null
"$top/testing/pki/make-bench-crls.sh" "$pki" "$crls" >/dev/null
repetitions=${TESSEL_BENCH_REPETITIONS:-3}

csv=$(mktemp)
trap 'rm -f "$csv"' EXIT
TESSEL_BENCH_CRL_DIR="Z:$crls" TESSEL_TEST_PKI_DIR="Z:$pki" \
  "$top/scripts/wine-session.sh" "$arch" "$top/scripts/wine-run.sh" "$arch" "$exe" --benchmark_repetitions="$repetitions" \
  --benchmark_report_aggregates_only=true --benchmark_out="Z:$csv" --benchmark_out_format=csv \
  >/dev/null

chain=$(mktemp)
cat "$pki/root.pem" "$pki/inter.pem" >"$chain"
# Median wall time of openssl reading the CRL and verifying the leaf against it.
openssl_seconds() {
  local file=$1 times=()
  for _ in $(seq 1 "$repetitions"); do
    local start end
    start=$(date +%s.%N)
    openssl crl -inform DER -in "$file.crl" -noout
    openssl verify -crl_check -CAfile "$chain" -CRLfile "$file.pem" "$pki/valid.pem" >/dev/null 2>&1 || true
    end=$(date +%s.%N)
    times+=("$(echo "$end - $start" | bc -l)")
  done
  printf '%s\n' "${times[@]}" | sort -g | sed -n "$(((repetitions + 1) / 2))p"
}

printf '%-26s %10s %10s %12s %10s %10s\n' CRL bytes ours_s ours_MB/s openssl_s ratio
for count in 1000 100000 1000000; do
  for listed in 1 0; do
    name="crl-$count-$([ $listed = 1 ] && echo listed || echo unlisted)"
    bytes=$(stat -c %s "$crls/$name.crl")
    ms=$(awk -F, -v n="\"BM_CheckRevocation/entries:$count/listed:$listed/real_time_median\"" \
      '$1 == n { print $3 }' "$csv")
    [ -n "$ms" ] || { echo "no result for $name" >&2; continue; }
    ours=$(echo "$ms / 1000" | bc -l)
    theirs=$(openssl_seconds "$crls/$name")
    printf '%-26s %10d %10.4f %12.1f %10.4f %10.2f\n' "$name" "$bytes" "$ours" \
      "$(echo "$bytes / 1000000 / $ours" | bc -l)" "$theirs" "$(echo "$ours / $theirs" | bc -l)"
  done
done
rm -f "$chain"
echo "ratio = our seconds / openssl's seconds (openssl crl -noout + openssl verify -crl_check)"
