#!/usr/bin/env bash
# Builds the two programs twice, in two different directories, and compares the bytes.
# Usage: tests/repro.sh WORK_DIR   (prints "ok - …"/"not ok - …" and the SHA-256 sums)
set -u
src=$(cd "$(dirname "$0")/.." && pwd)
work=${1:?work dir}
rm -rf "$work/a" "$work/tree-b"
mkdir -p "$work"
# The second build compiles a copy of the sources at another path.
mkdir -p "$work/tree-b"
(cd "$src" && tar --exclude=./build --exclude=./.git -cf - .) | tar -C "$work/tree-b" -xf -

build() {   # build SOURCE_DIR BUILD_DIR
    cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$1/cmake/mingw-w64-x86_64.cmake" >/dev/null &&
        cmake --build "$2" -j"$(nproc)" --target Kavrin KavrinReport >/dev/null
}

status=0
if ! build "$src" "$work/a" || ! build "$work/tree-b" "$work/tree-b/out"; then
    echo "not ok - reproducible build: a build failed"
    exit 1
fi
for exe in Kavrin.exe KavrinReport.exe; do
    a=$(sha256sum <"$work/a/$exe" | cut -d' ' -f1)
    b=$(sha256sum <"$work/tree-b/out/$exe" | cut -d' ' -f1)
    if [ "$a" = "$b" ]; then
        echo "ok - $exe is byte-identical across build directories ($a)"
    else
        echo "not ok - $exe differs between build directories: $a vs $b"
        status=1
    fi
done
exit $status
