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
# The second build compiles a copy of the sources at another path.
mkdir -p "$work/tree-b"
(cd "$src" && tar --exclude=./build --exclude=./.git -cf - .) | tar -C "$work/tree-b" -xf -

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
if ! build "$src" "$a" || ! build "$work/tree-b" "$work/tree-b/out" SOURCE_DATE_EPOCH="$epoch"; then
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

# The download, named after the file version in res/version.h.
version=$(sed -n 's/^#define KAVRIN_FILEVERSION_[A-Z]* *\([0-9]*\)$/\1/p' "$src/res/version.h" | paste -sd.)
zip="Kavrin-$version-win64.zip"
check() {   # check NAME COMMAND...: one "ok" or "not ok" line
    local name=$1
    shift
    if "$@"; then echo "ok - $name"; else echo "not ok - $name"; status=1; fi
}
same_entries() {   # the zip holds exactly the three files, each as built
    local f
    [ "$(zipinfo -1 "$a/$zip" | paste -sd' ')" = "Kavrin/Kavrin.exe Kavrin/KavrinReport.exe Kavrin/LIESMICH.txt" ] ||
        { echo "# entries: $(zipinfo -1 "$a/$zip" | paste -sd' ')"; return 1; }
    for f in Kavrin.exe KavrinReport.exe LIESMICH.txt; do
        unzip -p "$a/$zip" "Kavrin/$f" | cmp -s - "$a/$f" || { echo "# Kavrin/$f differs from the build's"; return 1; }
    done
}
dated() {   # every entry carries the commit's time
    local want got
    want=$(TZ=UTC date -d "@$epoch" +%Y%m%d.%H%M%S)
    got=$(TZ=UTC zipinfo -T "$a/$zip" | awk '$1 ~ /^-/ { print $7 }' | sort -u | paste -sd' ')
    [ "$got" = "$want" ] || { echo "# entry times $got, expected $want"; return 1; }
}
readme() {   # Notepad's: a byte-order mark, CR LF, at most 60 lines, the version and the address
    local text feedback
    text=$(unzip -p "$a/$zip" Kavrin/LIESMICH.txt | od -An -c | tr -d ' \n')
    feedback=$(sed -n 's/^#define KAVRIN_FEEDBACK_ADDRESS *"\(.*\)"$/\1/p' "$src/res/AboutBox.h")
    [ "${text:0:9}" = '357273277' ] && ! unzip -p "$a/$zip" Kavrin/LIESMICH.txt | grep -qv $'\r$' &&
        [ "$(unzip -p "$a/$zip" Kavrin/LIESMICH.txt | wc -l)" -le 60 ] &&
        unzip -p "$a/$zip" Kavrin/LIESMICH.txt | grep -q "Version $version"$'\r$' &&
        unzip -p "$a/$zip" Kavrin/LIESMICH.txt | grep -qF "$feedback"
}
if [ ! -f "$a/$zip" ]; then
    echo "not ok - the package target made no $zip"
    exit 1
fi
check "$zip holds Kavrin/ with both programs and LIESMICH.txt, byte for byte as built" same_entries
check "$zip's entries are dated with the last commit" dated
check "$zip.sha256 is its sum as sha256sum writes it" \
    bash -c "cd '$a' && [ \"\$(sha256sum $zip)\" = \"\$(cat $zip.sha256)\" ]"
check "LIESMICH.txt: UTF-8 with a byte-order mark, CR LF, at most 60 lines, version and address" readme
sum_a=$(sha256sum <"$a/$zip" | cut -d' ' -f1)
sum_b=$(sha256sum <"$work/tree-b/out/$zip" | cut -d' ' -f1)
check "$zip is byte-identical across build directories ($sum_a)" [ "$sum_a" = "$sum_b" ]
exit $status
