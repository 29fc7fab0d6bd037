#!/usr/bin/env bash
# Builds the two programs and the download in two different directories and compares the bytes;
# checks what the download holds.
# Usage: tests/repro.sh WORK_DIR [BUILD_A]   (prints "ok - …"/"not ok - …" and the SHA-256 sums)
# BUILD_A: a Release build of this tree with the cross toolchain, made already, to compare
# with instead of a first build of our own.
set -u
src=$(cd "$(dirname "$0")/.." && pwd)
work=${1:?work dir}
a=${2:-$work/a}
rm -rf "$work/a" "$work/tree-b"
mkdir -p "$work"
# The second build compiles a copy of the sources at another path, under another umask.
mkdir -p "$work/tree-b"
(cd "$src" && tar --exclude=./build --exclude=./.git -cf - .) | (umask 077 && tar --no-same-permissions -C "$work/tree-b" -xf -)

# The copy is no git checkout: its zip takes this checkout's commit time, as a clone's would.
epoch=1000000000
[ -e "$src/.git" ] && epoch=$(git -C "$src" log -1 --format=%ct)

# build SOURCE_DIR BUILD_DIR [ENV...]: configured already, or configured here; then packed by
# cpack with ENV (the checkout's own commit time without).
build() {
    { [ -f "$2/CMakeCache.txt" ] || cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
        -DCMAKE_TOOLCHAIN_FILE="$1/cmake/mingw-w64-x86_64.cmake" >/dev/null; } &&
        cmake --build "$2" -j"$(nproc)" --target Kavrin KavrinReport >/dev/null &&
        (cd "$2" && env "${@:3}" cpack >/dev/null)
}

status=0
if ! build "$src" "$a" || ! (umask 077 && build "$work/tree-b" "$work/tree-b/out" SOURCE_DATE_EPOCH="$epoch"); then
    echo "not ok - reproducible build: a build failed"
    exit 1
fi
for exe in Kavrin.exe KavrinReport.exe; do
    sum_a=$(sha256sum <"$a/$exe" | cut -d' ' -f1)
    sum_b=$(sha256sum <"$work/tree-b/out/$exe" | cut -d' ' -f1)
    if [ "$sum_a" = "$sum_b" ]; then
        echo "ok - $exe is byte-identical across build directories ($sum_a)"
    else
        echo "not ok - $exe differs between build directories: $sum_a vs $sum_b"
        status=1
    fi
done

# The download, named after the file version in res/version.h: the three files as built, dated
# with the commit; its .sha256; a readme for Notepad; the same bytes from both trees.
version=$(sed -n 's/^#define KAVRIN_FILEVERSION_[A-Z]* *\([0-9]*\)$/\1/p' "$src/res/version.h" | paste -sd.)
zip="Kavrin-$version-win64.zip"
[ -f "$a/$zip" ] || { echo "not ok - the package target made no $zip"; exit 1; }
check() {   # check NAME COMMAND...: an "ok" or "not ok" line
    if "${@:2}"; then echo "ok - $1"; else echo "not ok - $1"; status=1; fi
}
entries() {   # entries NAME...: the zip holds Kavrin/NAME of the build, and nothing else
    local f listed
    listed=$(zipinfo -1 "$a/$zip" | paste -sd' ')
    [ "$listed" = "$(printf 'Kavrin/%s\n' "$@" | paste -sd' ')" ] || { echo "# entries: $listed"; return 1; }
    for f; do
        unzip -p "$a/$zip" "Kavrin/$f" | cmp -s - "$a/$f" || { echo "# Kavrin/$f differs"; return 1; }
    done
}
entry_times() { TZ=UTC zipinfo -T "$1" | awk '$1 ~ /^-/ { print $7 }' | sort -u | paste -sd' '; }
times=$(entry_times "$a/$zip")
readme=$(unzip -p "$a/$zip" Kavrin/LIESMICH.txt)
# The address from tests/Expected.h, compiled: never an empty pattern.
printf '#include "Expected.h"\n#include <cstdio>\nint main() { std::fputs(expected::kFeedback, stdout); }\n' |
    g++ -std=c++17 -I"$src/tests" -x c++ - -o "$work/feedback" && feedback=$("$work/feedback") || feedback=""
check "$zip holds Kavrin/ with both programs and LIESMICH.txt, byte for byte as built" \
    entries Kavrin.exe KavrinReport.exe LIESMICH.txt
check "$zip's entries are dated with the last commit ($times)" \
    [ "$times" = "$(TZ=UTC date -d "@$epoch" +%Y%m%d.%H%M%S)" ]
check "$zip.sha256 is its sum as sha256sum writes it" \
    [ "$(cd "$a" && sha256sum "$zip")" = "$(cat "$a/$zip.sha256")" ]
notepad() {   # a byte-order mark, CR LF, at most 60 lines, the version and the address
    [ "$(head -c3 <<<"$readme")" = $'\xef\xbb\xbf' ] && ! grep -qv $'\r$' <<<"$readme" &&
        [ "$(wc -l <<<"$readme")" -le 60 ] && grep -q "Version $version"$'\r$' <<<"$readme" &&
        [ -n "$feedback" ] && grep -qF "$feedback" <<<"$readme"
}
check "LIESMICH.txt: a byte-order mark, CR LF, at most 60 lines, the version and the address" notepad
sum_a=$(sha256sum <"$a/$zip" | cut -d' ' -f1)
sum_b=$(sha256sum <"$work/tree-b/out/$zip" | cut -d' ' -f1)
check "$zip is byte-identical across build directories ($sum_a)" [ "$sum_a" = "$sum_b" ]
modes=$(zipinfo "$a/$zip" | awk '$NF ~ /^Kavrin\// { print $1 }' | paste -sd' ')
check "$zip holds both programs as -rwxr-xr-x and LIESMICH.txt as -rw-r--r-- ($modes)" \
    [ "$modes" = "-rwxr-xr-x -rwxr-xr-x -rw-r--r--" ]

# Where git gives no commit (none installed, a .git of no use), the fixed date, not the build's.
mkdir -p "$work/tree-b/.git" "$work/no-git"
(cd "$work/tree-b/out" && env -u SOURCE_DATE_EPOCH PATH="$work/no-git" "$(command -v cpack)" >/dev/null)
times=$(entry_times "$work/tree-b/out/$zip")
check "without git, $zip's entries take the fixed date ($times)" [ "$times" = 20010909.014640 ]
exit $status
