#!/bin/sh
# Makes the certificates of the request tests: make_test_certificates.sh OPENSSL DIRECTORY.
# A test authority signs a certificate for 127.0.0.1 and one for another name; a stranger
# signs itself. Elliptic-curve keys keep this quick.
set -eu
openssl=$1
dir=$2
mkdir -p "$dir"
cd "$dir"

key() { "$openssl" genpkey -algorithm EC -pkeyopt ec_paramgen_curve:prime256v1 -out "$1" 2>/dev/null; }

key ca-key.pem
"$openssl" req -x509 -new -key ca-key.pem -out ca.pem -days 3650 -subj "/CN=Request test authority" \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign"

sign() { # name subject-alt-names
  key "$1-key.pem"
  "$openssl" req -new -key "$1-key.pem" -out "$1.csr" -subj "/CN=$1"
  printf 'subjectAltName=%s\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' "$2" > "$1.ext"
  "$openssl" x509 -req -in "$1.csr" -CA ca.pem -CAkey ca-key.pem -CAcreateserial -days 3650 \
    -extfile "$1.ext" -out "$1.pem" 2>/dev/null
}
sign server "IP:127.0.0.1,DNS:localhost"
sign other-name "DNS:other.invalid"

key stranger-key.pem
"$openssl" req -x509 -new -key stranger-key.pem -out stranger.pem -days 3650 -subj "/CN=127.0.0.1" \
  -addext "subjectAltName=IP:127.0.0.1"
