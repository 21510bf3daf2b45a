#!/usr/bin/env bash
# Generates signed files for the tests of the console's own signature check:
# a self-signed signer and CMS signatures of small documents made with the
# openssl command line.
#
#   make-signed-files.sh <folder>
#
# The folder receives (x.p7s is a detached signature of x, y.p7m an
# enveloping one):
#   document.txt, document.txt.p7s      good, with signed attributes
#   altered.txt, altered.txt.p7s        the signature of document.txt beside other content
#   plain.txt, plain.txt.p7s            good, without signed attributes (-noattr)
#   plain-altered.txt, plain-altered.txt.p7s   that signature beside other content
#   lonely.p7s                          the signature of document.txt, nothing beside it
#   enveloped.p7m                       good, content inside
#   enveloped-empty.p7m                 good, over empty content (held inside, empty)
#   empty.txt.p7s                       detached, of empty.txt (no bytes)
#   enveloped-tampered.p7m              the same with its content changed
#   enveloped-plain-tampered.p7m        without signed attributes, content changed
#   garbage.p7s                         bytes that are no signed message
#   signer.cer                          the signer's certificate (DER)
set -euo pipefail

out=${1:?usage: make-signed-files.sh <folder>}
rm -rf "$out"
mkdir -p "$out"
cd "$out"

openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 30 -subj "/CN=Verify Win32 Signer" \
  -keyout signer.key -out signer.pem 2>/dev/null
openssl x509 -in signer.pem -outform DER -out signer.cer

sign() {  # sign <content> <signature> [options...]
  local content=$1 signature=$2
  shift 2
  openssl cms -sign -binary -md sha256 -in "$content" -signer signer.pem -inkey signer.key \
    -outform DER -out "$signature" "$@"
}

# Both contents of a pair have the same length, so that a changed byte inside
# an enveloping message keeps its encoding valid.
printf 'Signed content 12345\r\n' >document.txt
printf 'Signed content 54321\r\n' >altered.txt
cp document.txt plain.txt
cp altered.txt plain-altered.txt

sign document.txt document.txt.p7s
cp document.txt.p7s altered.txt.p7s
cp document.txt.p7s lonely.p7s
sign plain.txt plain.txt.p7s -noattr
cp plain.txt.p7s plain-altered.txt.p7s

sign document.txt enveloped.p7m -nodetach
: >empty.txt
sign empty.txt enveloped-empty.p7m -nodetach
sign empty.txt empty.txt.p7s
sign document.txt enveloped-plain.p7m -nodetach -noattr
for name in enveloped enveloped-plain; do
  LC_ALL=C perl -0777 -pe 's/Signed content 12345/Signed content 54321/' \
    <"$name.p7m" >"$name-tampered.p7m"
  cmp -s "$name.p7m" "$name-tampered.p7m" && { echo "content not found in $name.p7m" >&2; exit 1; }
done
rm enveloped-plain.p7m

printf 'This is not a signed message.\r\n' >garbage.p7s
rm signer.key signer.pem
