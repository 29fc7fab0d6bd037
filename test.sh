#!/usr/bin/env bash
# Builds both trees and runs every test; ends with "N passed, N failed".
set -u
cd "$(dirname "$0")"
. cmake/setup.sh

kavrin_install || { echo "package installation failed"; exit 1; }
if ! kavrin_build; then
    echo "build failed; rerun the cmake commands of cmake/setup.sh to see why"
    exit 1
fi

passed=0
failed=0
started=$SECONDS
count() {   # count SUITE PASSED FAILED; also says how long the suite took
    echo "== $1: $2 passed, $3 failed ($((SECONDS - started)) s)"
    passed=$((passed + $2))
    failed=$((failed + $3))
    started=$SECONDS
}

# Native unit tests (ASan + UBSan).
log="$BUILD/unit.log"
KAVRIN_WINDOWS_DIR="$BUILD/windows" "$BUILD/native/tests/unit/unit_tests" >"$log" 2>&1
rc=$?
grep -E '^\[  (FAILED|PASSED) |^.*(ERROR|runtime error)' "$log" | grep -v '^\[  PASSED' | head -40
p=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) test.*/\1/p' "$log" | tail -1)
f=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) test.*/\1/p' "$log" | tail -1)
p=${p:-0}; f=${f:-0}
[ $rc -ne 0 ] && [ "$f" -eq 0 ] && f=1 && tail -20 "$log"
count unit "$p" "$f"

# End to end under Wine and Xvfb.
e2e_log="$BUILD/e2e.log"
tests/e2e/run.sh "$BUILD" 2>&1 | tee "$e2e_log" | grep -E 'FAIL|^ok|^not ok' | grep -v '^ok' | head -40
line=$(grep -E '^e2e: [0-9]+ passed, [0-9]+ failed' "$e2e_log" | tail -1)
if [ -n "$line" ]; then
    p=$(echo "$line" | sed 's/^e2e: \([0-9]*\) passed.*/\1/')
    f=$(echo "$line" | sed 's/.* \([0-9]*\) failed.*/\1/')
else
    p=0; f=1; echo "e2e suite did not finish"; tail -20 "$e2e_log"
fi
count e2e "$p" "$f"

# Scripts that print "ok - …" / "not ok - …" lines: static analysis, reproducible builds, signing.
tap_suite() {   # tap_suite NAME COMMAND...
    local name=$1 log="$BUILD/$1.log"
    shift
    "$@" >"$log" 2>&1
    local rc=$? p f
    grep -E '^not ok' -A40 "$log" | head -60
    p=$(grep -c '^ok' "$log")
    f=$(grep -c '^not ok' "$log")
    if [ $rc -ne 0 ] && [ "$f" -eq 0 ]; then
        f=1
        tail -20 "$log"
    fi
    count "$name" "$p" "$f"
}
tap_suite win tests/win/run.sh "$BUILD"
tap_suite lint tests/lint.sh "$BUILD"
tap_suite repro tests/repro.sh "$BUILD/repro" "$BUILD/windows"
tap_suite sign tests/sign.sh "$BUILD" "$BUILD/repro/tree-b/out"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
