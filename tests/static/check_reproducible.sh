#!/bin/bash
# Two clean builds of the release setup.exe in differently named folders must
# give the same bytes; the signed build must verify against its certificate and
# be the unsigned bytes signed with that key at that time.  args: source-dir szdd
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$1/scripts/sign.sh" --test-certificate "$work"
time=$(date +%s)
build() {
  cmake -S "$1" -B "$work/$2" -G Ninja --toolchain "$1/cmake/mingw-w64-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DQV_BUILD_TESTS=OFF -DQV_SZDD="$3" "${@:4}" >/dev/null
  cmake --build "$work/$2" --target setup >/dev/null
}
for folder in first second-build; do build "$1" $folder "$2"; done
cmp "$work/first/src/setup.exe" "$work/second-build/src/setup.exe"
echo "ok   release setup.exe is reproducible"
build "$1" signed "$2" -DQV_SIGN_KEY="$work/key.pem" -DQV_SIGN_CERT="$work/cert.pem" -DQV_SIGN_TIME="$time"
osslsigncode verify -CAfile "$work/cert.pem" -in "$work/signed/src/setup.exe" | grep -q "^Signature verification: ok"
echo "ok   the signed setup.exe verifies against its certificate"
cp "$work/first/src/setup.exe" "$work/resigned.exe"
"$1/scripts/sign.sh" "$work/key.pem" "$work/cert.pem" "$time" "$work/resigned.exe"
cmp "$work/signed/src/setup.exe" "$work/resigned.exe"
echo "ok   the signed build is reproducible for a given key and signing time"
