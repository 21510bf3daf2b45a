#!/usr/bin/env bash
# Generates large CRLs of the test PKI's intermediate for the revocation
# benchmark: 1,000, 100,000 and 1,000,000 entries, once with the "valid"
# leaf's serial number listed last (it sorts after every filler serial) and
# once without it. DER and PEM of each.
#
#   make-bench-crls.sh <test PKI folder> <output folder>
set -euo pipefail
pki=$(cd "${1:?usage: make-bench-crls.sh <pki> <out>}" && pwd)
mkdir -p "${2:?usage: make-bench-crls.sh <pki> <out>}"
out=$(cd "$2" && pwd)
cd "$pki"

serial=$(openssl x509 -in valid.pem -noout -serial | cut -d= -f2)
expiry=$(date -u -d '+365 days' +%y%m%d%H%M%SZ)
revoked=$(date -u -d '-2 days' +%y%m%d%H%M%SZ)
last=$(date -u -d '-1 day' +%Y%m%d%H%M%SZ)
next=$(date -u -d '+30 days' +%Y%m%d%H%M%SZ)

for count in 1000 100000 1000000; do
  for listed in listed unlisted; do
    name="crl-$count-$listed"
    [ -f "$out/$name.crl" ] && continue
    db="$out/$name.db"
    mkdir -p "$db"
    fillers=$count
    [ "$listed" = listed ] && fillers=$((count - 1))
    # Filler serials 1..n, far below any random serial.
    awk -v n="$fillers" -v e="$expiry" -v r="$revoked" \
      'BEGIN { for (i = 1; i <= n; i++) printf "R\t%s\t%s,keyCompromise\t%08X\tunknown\t/CN=Filler %d\n", e, r, i, i }' \
      >"$db/index.txt"
    [ "$listed" = listed ] &&
      printf 'R\t%s\t%s,keyCompromise\t%s\tunknown\t/CN=Sample Subject Name Valid\n' \
        "$expiry" "$revoked" "$serial" >>"$db/index.txt"
    echo "unique_subject = no" >"$db/index.txt.attr"
    echo 2000 >"$db/crlnumber"
    sed -e "s|^database = .*|database = $db/index.txt|" -e "s|^crlnumber = .*|crlnumber = $db/crlnumber|" \
      inter.cnf >"$db/ca.cnf"
    openssl ca -config "$db/ca.cnf" -gencrl -crl_lastupdate "$last" -crl_nextupdate "$next" \
      -out "$out/$name.pem" 2>/dev/null
    openssl crl -in "$out/$name.pem" -outform DER -out "$out/$name.crl"
    rm -rf "$db"
    echo "$name: $(stat -c %s "$out/$name.crl") bytes"
  done
done
