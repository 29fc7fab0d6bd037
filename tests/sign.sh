#!/usr/bin/env bash
# The signed download, with a throwaway CA made here: verified signatures, the build's exes
# unsigned, the signatures give the released exes on another build, the refusals, Wine.
# Usage: tests/sign.sh BUILD_ROOT BUILD_B   (BUILD_ROOT/windows: a Release build; BUILD_B: one
# at another path, as tests/repro.sh leaves it, whose package is made here; prints "ok - …")
set -u
src=$(cd "$(dirname "$0")/.." && pwd)
ROOT=$1 OUT=$1/sign a=$1/windows b=$2
rm -rf "$OUT" "$b"/Kavrin-*-win64.zip*
mkdir -p "$OUT" && cd "$OUT" || exit 1
status=0
check() { if "${@:2}"; then echo "ok - $1"; else echo "not ok - $1"; status=1; fi; }
openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=CA -days 2 -keyout ca.key -out ca.pem 2>/dev/null
echo geheim >pw && echo falsch >wrong
cert() {   # cert NAME VALIDITY EXTENDED_KEY_USAGE KEY: a .p12 with the password of pw
    openssl req -newkey "$4" -nodes -subj /CN=Test -keyout "$1.key" -out "$1.csr" 2>/dev/null &&
        openssl x509 -req -in "$1.csr" -CA ca.pem -CAkey ca.key $2 -out "$1.pem" \
            -extfile <(echo "extendedKeyUsage=$3") 2>/dev/null &&
        openssl pkcs12 -export -inkey "$1.key" -in "$1.pem" -passout file:pw -out "$1.p12"
}
# OpenSSL 3.4 and later refuse a negative number of days and take the dates instead.
past="-days -1"
openssl x509 -help 2>&1 | grep -q -- -not_after && past="-not_before 20200101000000Z -not_after 20200102000000Z"
cert good "-days 2" codeSigning rsa:2048 && cert expired "$past" codeSigning rsa:2048 &&
    cert server "-days 2" serverAuth rsa:2048 && cert ec "-days 2" codeSigning ec:<(openssl ecparam -name prime256v1)
pack() {   # pack P12 PASSWORD_FILE [VAR=VALUE...]: the package target of BUILD_B, signing
    env KAVRIN_SIGN_PKCS12="$OUT/$1" KAVRIN_SIGN_PASSWORD_FILE="$OUT/$2" "${@:3}" \
        cmake --build "$b" --target package >pack.log 2>&1
}
signed() {   # both programs of the zip verify against the CA: SHA-256, the name and address
    local exe
    unzip -qoj "$b/$zip" Kavrin/Kavrin.exe Kavrin/KavrinReport.exe || return 1
    for exe in Kavrin.exe KavrinReport.exe; do
        osslsigncode verify -CAfile ca.pem -in "$exe" >"$exe.txt" 2>&1 &&
            grep -q '^Message digest algorithm *: SHA256' "$exe.txt" &&
            grep -qx $'\tText description: Kavrin' "$exe.txt" &&
            grep -qx $'\tURL description: mailto:'"$feedback" "$exe.txt" || { cat "$exe.txt"; return 1; }
    done
}
feedback=$("$b/../../feedback")   # as tests/repro.sh compiled it from tests/Expected.h
pack good.p12 pw || cat pack.log
zip=$(cd "$b" && ls Kavrin-*-win64.zip)
check "the package target signs both programs; osslsigncode verifies them against the CA" signed
check "the build tree's programs stay unsigned" cmp -s "$a/Kavrin.exe" "$b/Kavrin.exe"
check "the release's signatures on the other build's programs give the release byte for byte" \
    "$src/tools/verify-release.sh" "$b/$zip" "$a"
refused() {   # refused MESSAGE PACK_ARGS...: the build stops with MESSAGE, and the zip and
    touch "$b/$zip" "$b/$zip.sha256"   # the sum of an earlier run are gone
    ! pack "${@:2}" && tr -s ' \n' '  ' <pack.log | grep -qF "$1" && [ ! -e "$b/$zip" ] && [ ! -e "$b/$zip.sha256" ]
}
check "a missing .p12 stops the build" refused "KAVRIN_SIGN_PKCS12 names no file" none.p12 pw
check "a wrong password stops the build" refused "wrong password" good.p12 wrong
check "an expired certificate stops the build" refused "has expired" expired.p12 pw
check "a certificate not for code signing stops the build" refused "not for code signing" server.p12 pw
check "a key that is not RSA stops the build" refused "no RSA key" ec.p12 pw
check "a timestamp server that does not answer stops the build" refused "could not sign" \
    good.p12 pw KAVRIN_SIGN_TIMESTAMP_URL=http://127.0.0.1:9/
. "$src/cmake/wine_env.sh"
same_report() { wine_prefix && wine_run 120 "$a/KavrinReport.exe" >unsigned.txt &&
    wine_run 120 ./KavrinReport.exe >signed.txt && [ -s signed.txt ] && cmp unsigned.txt signed.txt; }
check "the signed KavrinReport.exe writes the unsigned one's report under Wine" same_report
exit $status
