#!/bin/bash
# The release step's signature, said once for the build and its tests:
#   scripts/sign.sh KEY CERT TIME FILE     signs FILE in place (osslsigncode,
#                                          SHA-256) at TIME, Unix seconds
#   scripts/sign.sh --test-certificate DIR makes DIR/key.pem and DIR/cert.pem,
#                                          a throwaway self-signed pair
set -euo pipefail
if [ "$1" = --test-certificate ]; then
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$2/key.pem" -out "$2/cert.pem" -days 2 \
    -subj "/CN=Quavertone Test Signing" >/dev/null 2>&1
  exit 0
fi
key=$1 cert=$2 time=$3 file=$4
osslsigncode sign -certs "$cert" -key "$key" -h sha256 -n "Quavertone 10.0 Setup" -time "$time" \
  -in "$file" -out "$file.signed" >/dev/null
mv "$file.signed" "$file"
