#!/usr/bin/env bash
# Generates the test PKI of the certificate-service tests into a folder:
# a root, an intermediate and leaf certificates whose subjects contain
# "Sample Subject Name", with CRL distribution points on a loopback port, and
# the CRLs the tests serve from their own HTTP server on that port.
#
#   make-test-pki.sh <folder>
#
# Every certificate gets its own random serial number. The folder receives:
#   port.txt               the loopback port in the certificates' URLs
#   revocation-date.txt    revocation time of every revoked leaf (YYYY-MM-DD HH:MM:SS, UTC)
#   root.pem inter.pem     CA certificates (PEM)
#   <leaf>.pem             leaf certificates (PEM), see LEAVES below
#   root.crl               current CRL of the root (DER, lists nothing)
#   inter.crl inter-pem.crl current CRL of the intermediate, DER and PEM
#   inter-more-reasons.crl current CRL of the intermediate listing only the
#                          leaves revoked for reasons 0, 9 and 10
#   inter-expired.crl      CRL of the intermediate whose next update has passed
#   inter-wrong-key.crl    CRL with the intermediate's name, signed by another key,
#                          listing the "valid" leaf
#   other-ca.crl           CRL of an unrelated CA listing the "valid" leaf's serial
set -euo pipefail

out=${1:?usage: make-test-pki.sh <folder>}
rm -rf "$out"
mkdir -p "$out"
cd "$out"

# A free port in the dynamic range, not listened on at the moment.
# A free port other than $1, if given.
pick_port() {
  local port
  for _ in $(seq 1 50); do
    port=$((49152 + RANDOM % 16000))
    [ "$port" != "${1:-}" ] || continue
    if ! (ss -Hltn 2>/dev/null || true) | awk '{print $4}' | grep -q ":$port\$"; then
      echo "$port"
      return
    fi
  done
  if [ "${1:-}" = 49999 ]; then echo 49998; else echo 49999; fi
}
port=$(pick_port)
echo "$port" >port.txt
base="http://127.0.0.1:$port"
# A second port, where the tests listen without ever taking a connection.
silent_port=$(pick_port "$port")
echo "$silent_port" >silent-port.txt

stamp() { date -u -d "$1" +%Y%m%d%H%M%SZ; }
now_minus_1y=$(stamp '-365 days')
now_plus_1y=$(stamp '+365 days')
revoked_at=$(date -u -d '-2 days' '+%Y-%m-%d %H:%M:%S')
revoked_stamp=$(date -u -d "$revoked_at" +%y%m%d%H%M%SZ)
echo "$revoked_at" >revocation-date.txt

# One openssl ca configuration per CA; the leaf extension sections live in
# the intermediate's.
write_ca_config() {
  local name=$1
  mkdir -p "$name.db"
  : >"$name.db/index.txt"
  echo "unique_subject = no" >"$name.db/index.txt.attr"
  echo 1000 >"$name.db/crlnumber"
  echo 01 >"$name.db/serial"
  cat >"$name.cnf" <<CNF
[ca]
default_ca = ca_section
[ca_section]
database = $name.db/index.txt
new_certs_dir = $name.db
certificate = $name.pem
private_key = $name.key
crlnumber = $name.db/crlnumber
serial = $name.db/serial
default_md = sha256
default_days = 365
default_crl_days = 7
policy = policy_any
unique_subject = no
copy_extensions = none
crl_extensions = crl_ext
[policy_any]
commonName = supplied
organizationName = optional
[crl_ext]
authorityKeyIdentifier = keyid
[ext_ca]
basicConstraints = critical, CA:true
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
crlDistributionPoints = URI:$base/root.crl
[ext_leaf_base]
basicConstraints = CA:false
keyUsage = digitalSignature
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
CNF
}

new_key() { openssl genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out "$1" 2>/dev/null; }

# Root: self-signed.
new_key root.key
openssl req -x509 -new -key root.key -out root.pem -sha256 -days 3650 \
  -subj "/O=Tessel Test/CN=Tessel Test Root" \
  -addext "basicConstraints=critical,CA:true" -addext "keyUsage=critical,keyCertSign,cRLSign" \
  -addext "subjectKeyIdentifier=hash" 2>/dev/null
write_ca_config root

# Intermediate, issued by the root.
new_key inter.key
openssl req -new -key inter.key -out inter.csr -subj "/CN=Tessel Test Intermediate/O=Tessel Test" 2>/dev/null
openssl ca -batch -config root.cnf -extensions ext_ca -rand_serial -notext \
  -startdate "$now_minus_1y" -enddate "$(stamp '+3000 days')" -in inter.csr -out inter.pem 2>/dev/null
write_ca_config inter

# Leaves: name, subject suffix, start, end, distribution points (an openssl
# extension value, or "none").
unreachable="http://127.0.0.1:1/unreachable.crl"
cat >>inter.cnf <<CNF
[dp_relative]
relativename = dp_relative_rdn
[dp_relative_rdn]
CN = Tessel Test Intermediate CRL
[dp_full]
fullname = URI:$base/inter.crl
CNF
LEAVES=(
  "valid|Valid|$now_minus_1y|$now_plus_1y|URI:$base/inter.crl"
  "expired|Expired|$(stamp '-400 days')|$(stamp '-30 days')|URI:$base/inter.crl"
  "not-yet-valid|Not Yet Valid|$(stamp '+30 days')|$(stamp '+400 days')|URI:$base/inter.crl"
  "revoked-key-compromise|Revoked 1|$now_minus_1y|$now_plus_1y|URI:$base/inter.crl"
  "revoked-no-reason|Revoked None|$now_minus_1y|$now_plus_1y|URI:$base/inter.crl"
  "revoked-reason-zero|Revoked 0|$now_minus_1y|$now_plus_1y|URI:$base/inter.crl"
  "revoked-ca-compromise|Revoked 2|$now_minus_1y|$now_plus_1y|URI:$base/inter.crl"
  "revoked-affiliation|Revoked 3|$now_minus_1y|$now_plus_1y|URI:$base/inter.crl"
  "revoked-superseded|Revoked 4|$now_minus_1y|$now_plus_1y|URI:$base/inter.crl"
  "revoked-cessation|Revoked 5|$now_minus_1y|$now_plus_1y|URI:$base/inter.crl"
  "revoked-hold|Revoked 6|$now_minus_1y|$now_plus_1y|URI:$base/inter.crl"
  "revoked-remove|Revoked 8|$now_minus_1y|$now_plus_1y|URI:$base/inter.crl"
  "revoked-privilege|Revoked 9|$now_minus_1y|$now_plus_1y|URI:$base/inter.crl"
  "revoked-aa|Revoked 10|$now_minus_1y|$now_plus_1y|URI:$base/inter.crl"
  "no-cdp|No CDP|$now_minus_1y|$now_plus_1y|none"
  "ldap-only|LDAP Only|$now_minus_1y|$now_plus_1y|URI:ldap://127.0.0.1:1/CN=Tessel%20Test%20Intermediate?certificateRevocationList?base"
  "ldap-http|LDAP HTTP|$now_minus_1y|$now_plus_1y|URI:ldap://127.0.0.1:1/CN=Tessel%20Test%20Intermediate?certificateRevocationList?base?objectClass=httpCrl"
  "two-http|Two HTTP|$now_minus_1y|$now_plus_1y|URI:$unreachable, URI:$base/inter.crl"
  "ldap-then-http|LDAP Then HTTP|$now_minus_1y|$now_plus_1y|URI:ldap://127.0.0.1:1/CN=Tessel%20Test%20Intermediate?certificateRevocationList, URI:$base/inter.crl"
  "relative-name|Relative Name|$now_minus_1y|$now_plus_1y|dp_relative, dp_full"
  "first-then-inter|First Then Inter|$now_minus_1y|$now_plus_1y|URI:$base/first.crl, URI:$base/inter.crl"
  "silent-then-inter|Silent Then Inter|$now_minus_1y|$now_plus_1y|URI:http://127.0.0.1:$silent_port/silent.crl, URI:$base/inter.crl"
)
for entry in "${LEAVES[@]}"; do
  IFS='|' read -r name suffix start end cdp <<<"$entry"
  section="ext_$(tr '-' '_' <<<"$name")"
  {
    echo "[$section]"
    echo "basicConstraints = CA:false"
    echo "keyUsage = digitalSignature"
    echo "subjectKeyIdentifier = hash"
    echo "authorityKeyIdentifier = keyid"
    [ "$cdp" = none ] || echo "crlDistributionPoints = $cdp"
  } >>inter.cnf
  new_key "$name.key"
  openssl req -new -key "$name.key" -out "$name.csr" \
    -subj "/O=Tessel Test/CN=Sample Subject Name $suffix" 2>/dev/null
  openssl ca -batch -config inter.cnf -extensions "$section" -rand_serial -notext \
    -startdate "$start" -enddate "$end" -in "$name.csr" -out "$name.pem" 2>/dev/null
done

serial_of() { openssl x509 -in "$1.pem" -noout -serial | cut -d= -f2; }

# Marks a leaf revoked in a CA database: status R, revocation time and reason.
revoke_in() {
  local db=$1 serial=$2 reason=$3
  local field=$revoked_stamp
  [ -z "$reason" ] || field="$revoked_stamp,$reason"
  awk -F'\t' -v OFS='\t' -v s="$serial" -v f="$field" \
    '$4 == s { $1 = "R"; $3 = f } { print }' "$db" >"$db.new"
  mv "$db.new" "$db"
}

# A database entry for a serial the CA never issued.
list_in() {
  local db=$1 serial=$2
  printf 'R\t%s\t%s,keyCompromise\t%s\tunknown\t/CN=Sample Subject Name Valid\n' \
    "$(date -u -d '+365 days' +%y%m%d%H%M%SZ)" "$revoked_stamp" "$serial" >>"$db"
}

# gencrl <config> <output> <this update> <next update> [<CRL extension section>]
gencrl() {
  local config=$1 output=$2 last=$3 next=$4 extensions=${5:-crl_ext}
  openssl ca -config "$config" -gencrl -crl_lastupdate "$last" -crl_nextupdate "$next" \
    -crlexts "$extensions" -out "$output.pem-tmp" 2>/dev/null
  openssl crl -in "$output.pem-tmp" -outform DER -out "$output"
  rm -f "$output.pem-tmp"
}

# The intermediate's CRL, with every reason openssl has a name for.
revoke_in inter.db/index.txt "$(serial_of revoked-key-compromise)" keyCompromise
revoke_in inter.db/index.txt "$(serial_of revoked-no-reason)" ""
revoke_in inter.db/index.txt "$(serial_of revoked-ca-compromise)" CACompromise
revoke_in inter.db/index.txt "$(serial_of revoked-affiliation)" affiliationChanged
revoke_in inter.db/index.txt "$(serial_of revoked-superseded)" superseded
revoke_in inter.db/index.txt "$(serial_of revoked-cessation)" cessationOfOperation
revoke_in inter.db/index.txt "$(serial_of revoked-hold)" "certificateHold,holdInstructionReject"
revoke_in inter.db/index.txt "$(serial_of revoked-remove)" removeFromCRL
cp inter.db/index.txt inter.db/index.standard
gencrl inter.cnf inter-pem-tmp.crl "$(stamp '-1 day')" "$(stamp '+30 days')"
mv inter-pem-tmp.crl inter.crl
openssl crl -inform DER -in inter.crl -out inter-pem.crl

# A second CRL of the intermediate for reason code 0 and for the reasons
# openssl knows no names for, privilegeWithdrawn (9) and aACompromise (10):
# their entries are written as cessationOfOperation (5), affiliationChanged
# (3) and superseded (4), the reason bytes are changed in the signed part,
# and that part is signed again.
awk -F'\t' -v OFS='\t' '{ $1 = "V"; $3 = "" } { print }' inter.db/index.standard >inter.db/index.txt
revoke_in inter.db/index.txt "$(serial_of revoked-privilege)" affiliationChanged
revoke_in inter.db/index.txt "$(serial_of revoked-aa)" superseded
revoke_in inter.db/index.txt "$(serial_of revoked-reason-zero)" cessationOfOperation
gencrl inter.cnf inter-unpatched.crl "$(stamp '-1 day')" "$(stamp '+30 days')"
cp inter.db/index.standard inter.db/index.txt

# DER length octets of a content of $1 bytes.
der_length() {
  local n=$1
  if [ "$n" -lt 128 ]; then printf '%02x' "$n"
  elif [ "$n" -lt 256 ]; then printf '81%02x' "$n"
  elif [ "$n" -lt 65536 ]; then printf '82%04x' "$n"
  else printf '83%06x' "$n"; fi
}
hex_of() { od -An -v -tx1 "$1" | tr -d ' \n'; }

# Signed part (tbsCertList) of a DER CRL, as hexadecimal.
tbs_hex_of() {
  local offset header length
  read -r offset header length < <(openssl asn1parse -inform DER -in "$1" 2>/dev/null |
    sed -n '2s/^ *\([0-9]*\):d=1 *hl=\([0-9]*\) *l= *\([0-9]*\).*/\1 \2 \3/p')
  dd if="$1" bs=1 skip="$offset" count=$((header + length)) status=none | od -An -v -tx1 | tr -d ' \n'
}

# patch_crl <input> <output> <from:to>...: the intermediate's CRL <input>
# with each hexadecimal pattern of its signed part replaced by one of the
# same length, signed again.
patch_crl() {
  local input=$1 output=$2 tbs change from to count
  shift 2
  tbs=$(tbs_hex_of "$input")
  for change in "$@"; do
    from=${change%%:*} to=${change##*:}
    count=$(grep -o "$from" <<<"$tbs" | wc -l)
    # A hexadecimal match must start on a byte boundary and be the only one.
    [ "$count" -eq 1 ] || { echo "make-test-pki: pattern $from found $count times" >&2; exit 1; }
    tbs=${tbs/$from/$to}
  done
  xxd -r -p <<<"$tbs" >tbs.der
  openssl dgst -sha256 -sign inter.key -out tbs.sig tbs.der
  local algorithm="300d06092a864886f70d01010b0500"  # sha256WithRSAEncryption, NULL parameters
  local signature bitstring body
  signature="00$(hex_of tbs.sig)"
  bitstring="03$(der_length $((${#signature} / 2)))$signature"
  body="$tbs$algorithm$bitstring"
  xxd -r -p <<<"30$(der_length $((${#body} / 2)))$body" >"$output"
  rm -f tbs.der tbs.sig
}

patch_crl inter-unpatched.crl inter-more-reasons.crl "0a0103:0a0109" "0a0104:0a010a" "0a0105:0a0100"
rm -f inter-unpatched.crl

# The usual CRL with a critical extension of its own that no one knows.
cat >>inter.cnf <<CNF
[crl_ext_unknown_critical]
authorityKeyIdentifier = keyid
1.3.6.1.4.1.55555.1 = critical,ASN1:NULL
CNF
gencrl inter.cnf inter-critical-extension.crl "$(stamp '-1 day')" "$(stamp '+30 days')" \
  crl_ext_unknown_critical

# The usual CRL whose key-compromise entry carries, instead of its reason
# code, a critical entry extension (OID 1.2.3) of the same length.
patch_crl inter.crl inter-critical-entry.crl "300a0603551d1504030a0101:300a06022a030101ff040100"

# The same CA's CRL whose next update has passed.
gencrl inter.cnf inter-expired.crl "$(stamp '-20 days')" "$(stamp '-2 days')"

# The root's CRL, listing nothing.
gencrl root.cnf root.crl "$(stamp '-1 day')" "$(stamp '+30 days')"

# A key that is not the intermediate's, under the intermediate's name.
new_key impostor.key
openssl req -x509 -new -key impostor.key -out impostor.pem -days 30 \
  -subj "/CN=Tessel Test Intermediate/O=Tessel Test" 2>/dev/null
write_ca_config impostor
list_in impostor.db/index.txt "$(serial_of valid)"
gencrl impostor.cnf inter-wrong-key.crl "$(stamp '-1 day')" "$(stamp '+30 days')"

# An unrelated CA listing the valid leaf's serial number.
new_key other.key
openssl req -x509 -new -key other.key -out other.pem -days 30 \
  -subj "/O=Tessel Test/CN=Tessel Test Other CA" 2>/dev/null
write_ca_config other
list_in other.db/index.txt "$(serial_of valid)"
gencrl other.cnf other-ca.crl "$(stamp '-1 day')" "$(stamp '+30 days')"

# Check what the tests rely on.
openssl verify -CAfile root.pem -untrusted inter.pem valid.pem >/dev/null
for crl in inter-more-reasons.crl inter-critical-entry.crl; do
  openssl crl -inform DER -in "$crl" -noout -CAfile <(cat root.pem inter.pem) 2>/dev/null ||
    { echo "make-test-pki: the patched $crl does not verify" >&2; exit 1; }
done
rm -f ./*.csr
echo "test PKI in $out (port $port)"
