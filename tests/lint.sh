#!/usr/bin/env bash
# clang-tidy (both builds' compile commands) and cppcheck over all sources.
# Usage: tests/lint.sh BUILD_ROOT   (prints "ok - …"/"not ok - …"; exit 1 on findings)
set -u
cd "$(dirname "$0")/.."
build=${1:?build root}
status=0

# Checks beyond the compiler's own: gcc's -Wconversion leaves out sign conversions in C++,
# and so does the analysis.
# clang does not know -fexec-charset=CP1252; the charset does not matter to the checks.
filtered_db() {   # filtered_db SOURCE_BUILD_DIR OUT_DIR
    mkdir -p "$2"
    sed 's/ -fexec-charset=CP1252//' "$1/compile_commands.json" >"$2/compile_commands.json"
}

db_files() {   # the project's own sources in a compile database
    grep -o '"file": *"[^"]*"' "$1/compile_commands.json" | sed 's/.*"\([^"]*\)"$/\1/' |
        grep -E "^$PWD/(afx|platform|report|app|ui|tools|tests)/" | sort -u
}

# A file found clean is stamped with its own hash and that of everything else its findings
# depend on: the project's headers, the check set, the compile databases and the tool. A
# stamped file is not analysed again until one of them changes.
stamps="$build/lint-stamps"
mkdir -p "$stamps"
stamp_of() { echo "$2-$(sha256sum <"$1" | cut -c1-16)"; }   # stamp_of FILE DEPENDS
stamp_file() { echo "$stamps/$(echo "$1" | sha256sum | cut -c1-16)"; }

run_tidy() {   # run_tidy NAME DB_DIR FILES... (extra args in TIDY_ARGS)
    local name=$1 db=$2 log="$build/lint-$1.log" f
    shift 2
    local depends
    depends=$({ cat .clang-tidy "$db/compile_commands.json"; printf '%s\n' "${TIDY_ARGS[@]}"
                clang-tidy --version; find afx platform report app ui tools tests res -name '*.h' |
                sort | xargs cat; } | sha256sum | cut -c1-16)
    local -a todo=()
    for f; do
        [ "$(cat "$(stamp_file "$f")" 2>/dev/null)" = "$(stamp_of "$f" "$depends")" ] || todo+=("$f")
    done
    if printf '%s\n' "${todo[@]}" |
        xargs -r -P "$(nproc)" -n 4 clang-tidy --quiet -p "$db" "${TIDY_ARGS[@]}" >"$log" 2>&1; then
        for f in "${todo[@]}"; do stamp_of "$f" "$depends" >"$(stamp_file "$f")"; done
        echo "ok - clang-tidy ($name): $# files clean, ${#todo[@]} of them analysed now"
    else
        echo "not ok - clang-tidy ($name):"
        grep -E 'error:|warning:' "$log" | sort -u | head -40
        status=1
    fi
}

filtered_db "$build/native" "$build/lint-native"
TIDY_ARGS=(--extra-arg=-Wno-sign-conversion)
mapfile -t native_files < <(db_files "$build/lint-native")
run_tidy native "$build/lint-native" "${native_files[@]}"

# The Windows-only sources, with the cross compiler's own C++ headers.
filtered_db "$build/windows" "$build/lint-windows"
# clang keeps its own intrinsics; gcc's would not parse.
TIDY_ARGS=(--extra-arg=-Wno-sign-conversion --extra-arg=--target=x86_64-w64-mingw32)
while read -r dir; do
    TIDY_ARGS+=("--extra-arg=-isystem$dir")
done < <(echo | x86_64-w64-mingw32-g++ -xc++ -E -v - 2>&1 |
    sed -n '/#include <...> search starts here/,/End of search/p' | grep '^ /' | sed 's/^ //' |
    grep -E 'c\+\+|mingw32/include$')
mapfile -t windows_files < <(comm -23 <(db_files "$build/lint-windows") <(printf '%s\n' "${native_files[@]}"))
run_tidy windows "$build/lint-windows" "${windows_files[@]}"

log="$build/lint-cppcheck.log"
# From 2.11 on, cppcheck follows only some branches unless told otherwise, and says so.
level=()
cppcheck --help | grep -q -- --check-level && level=(--check-level=exhaustive)
if cppcheck --quiet --std=c++17 --language=c++ --enable=warning,performance,portability "${level[@]}" \
    --inline-suppr --error-exitcode=1 --suppress=missingIncludeSystem --library=windows --library=googletest \
    -D_WIN32 -D__MINGW32__ -DKAVRIN_SOURCE_DIR=\"\" \
    -I afx -I platform -I report -I app -I ui -I res \
    afx platform report app ui tools tests >"$log" 2>&1; then
    echo "ok - cppcheck clean"
else
    echo "not ok - cppcheck:"
    head -40 "$log"
    status=1
fi
exit $status
