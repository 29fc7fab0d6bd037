#!/usr/bin/env bash
# Builds the two programs in two different directories and compares the bytes.
# Usage: tests/repro.sh WORK_DIR [BUILD_A]   (prints "ok - …"/"not ok - …" and the SHA-256 sums)
# BUILD_A: a Release build of this tree with the cross toolchain, made already, to compare
# with instead of a first build of our own.
set -u
src=$(cd "$(dirname "$0")/.." && pwd)
work=${1:?work dir}
a=${2:-$work/a}
rm -rf "$work/a" "$work/tree-b"
mkdir -p "$work"
# The second build compiles a copy of the sources at another path.
mkdir -p "$work/tree-b"
(cd "$src" && tar --exclude=./build --exclude=./.git -cf - .) | tar -C "$work/tree-b" -xf -

build() {   # build SOURCE_DIR BUILD_DIR (configured already, or configured here)
    { [ -f "$2/CMakeCache.txt" ] || cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$1/cmake/mingw-w64-x86_64.cmake" >/dev/null; } &&
        cmake --build "$2" -j"$(nproc)" --target Kavrin KavrinReport >/dev/null
}

status=0
if ! build "$src" "$a" || ! build "$work/tree-b" "$work/tree-b/out"; then
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
exit $status
