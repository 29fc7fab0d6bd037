#!/usr/bin/env bash
# The performance record's figures, each against its floor, in one run:
#   1. Kavrin.exe start until the whole report is shown, against an empty dialog;
#   2. KavrinReport.exe end to end, against a console program that prints nothing;
#   3. the size of Kavrin.exe;
#   4. the report with a 32,767-character PATH against an empty PATH, natively.
# Usage: tests/perf/run.sh [BUILD_ROOT [RUNS]]   (after ./test.sh or ./run.sh built it)
set -u
export LC_ALL=C
cd "$(dirname "$0")/../.."
ROOT=${1:-build}
RUNS=${2:-10}
case "$ROOT" in /*) ;; *) ROOT="$PWD/$ROOT" ;; esac
BIN="$ROOT/windows"
WINE=/usr/lib/wine/wine64

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

echo "== 1. start-up of Kavrin.exe against an empty dialog (median of $RUNS)"
tests/e2e/bench_startup.sh "$ROOT" "$RUNS" | tail -1

echo "== 2. KavrinReport.exe end to end against an empty console program (median of $((RUNS * 2)))"
export WINEPREFIX="$ROOT/wine" WINEDEBUG=-all
[ -d "$WINEPREFIX/drive_c" ] || "$WINE" wineboot -i >/dev/null 2>&1
/usr/lib/wine/wineserver -p   # keep one server for all runs, as a user's session would
"$WINE" "$BIN/floor_console.exe"; "$WINE" "$BIN/KavrinReport.exe" >/dev/null   # warm
: >"$ROOT/perf-report.txt"; : >"$ROOT/perf-floor.txt"
for _ in $(seq $((RUNS * 2))); do
    for pair in "KavrinReport.exe:perf-report.txt" "floor_console.exe:perf-floor.txt"; do
        start=$(date +%s%N)
        "$WINE" "$BIN/${pair%%:*}" >/dev/null
        echo $(( ($(date +%s%N) - start) / 1000 )) >>"$ROOT/${pair#*:}"
    done
done
/usr/lib/wine/wineserver -k
report=$(median <"$ROOT/perf-report.txt")
floor=$(median <"$ROOT/perf-floor.txt")
awk -v r="$report" -v f="$floor" \
    'BEGIN {printf "KavrinReport %.1f ms, floor %.1f ms, ratio %.2f\n", r / 1000, f / 1000, r / f}'

echo "== 3. size of Kavrin.exe with both clips"
size=$(stat -c %s "$BIN/Kavrin.exe")
awk -v s="$size" 'BEGIN {printf "%d bytes (%.2f MiB; goal 1 MiB)\n", s, s / 1048576}'

echo "== 4. the report with a 32,767-character PATH against an empty PATH (native, -O2, no sanitizers)"
cmake -S . -B "$ROOT/perf-native" -DCMAKE_BUILD_TYPE=Release -DKAVRIN_SANITIZE=OFF >/dev/null &&
    cmake --build "$ROOT/perf-native" --target path_bench -j"$(nproc)" >/dev/null &&
    "$ROOT/perf-native/tests/perf/path_bench"
