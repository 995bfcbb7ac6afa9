#!/usr/bin/env bash
# A throw-away code-signing certificate for the signing tests, made anew each
# time: a CA (ca.pem) and a signer it issued, in signer.p12 with the password
# given in BCSETUP_SIGN_PASSWORD; and a CA that issued nothing
# (other_ca.pem), which must not accept the signature. No key is kept.
#   make_test_certificate.sh FOLDER
set -euo pipefail
folder="$1"
rm -rf "$folder"; mkdir -p "$folder"; cd "$folder"
openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 \
  -subj "/CN=Brixelcast test CA" -addext basicConstraints=critical,CA:TRUE \
  -addext keyUsage=critical,keyCertSign,cRLSign 2>/dev/null
openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr -subj "/O=Korvane/CN=Korvane test signer" 2>/dev/null
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' > signer.ext
openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out signer.pem -days 2 \
  -extfile signer.ext 2>/dev/null
openssl pkcs12 -export -inkey signer.key -in signer.pem -certfile ca.pem -out signer.p12 \
  -passout env:BCSETUP_SIGN_PASSWORD
openssl req -x509 -newkey rsa:2048 -nodes -keyout other_ca.key -out other_ca.pem -days 2 \
  -subj "/CN=Brixelcast test CA" 2>/dev/null
rm -f ca.key other_ca.key signer.key signer.csr ca.srl
