#!/usr/bin/env bash
# The performance record's figures, each against its floor, in one run:
#   1. Kavrin.exe start until the whole report is shown, against its three floors;
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
OUT="$ROOT/perf"
mkdir -p "$OUT"

. cmake/wine_env.sh

for exe in Kavrin.exe KavrinReport.exe floor_dialog.exe floor_console.exe startup_bench.exe; do
    [ -f "$BIN/$exe" ] || { echo "missing $BIN/$exe: build first" >&2; exit 1; }
done
wine_start || exit 1
"$WINESERVER" -p   # one server for all starts, as in a user's session

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

echo "== load before measuring: $(uptime | sed 's/.*load average/load average/')"

echo "== 1. start-up of Kavrin.exe against its floors (median of $RUNS)"
wine_run 900 "$BIN/startup_bench.exe" "$RUNS" | tr -d '\r' | tee "$OUT/startup.txt"
rc=${PIPESTATUS[0]}
[ $rc -eq 0 ] || { echo "startup_bench.exe failed (exit $rc)"; exit 1; }

echo "== 2. KavrinReport.exe end to end against an empty console program (median of $((RUNS * 2)))"
wine_run 60 "$BIN/floor_console.exe"; wine_run 60 "$BIN/KavrinReport.exe" >/dev/null   # warm
: >"$OUT/report.txt"; : >"$OUT/floor.txt"
for _ in $(seq $((RUNS * 2))); do
    for pair in "KavrinReport.exe:report.txt" "floor_console.exe:floor.txt"; do
        start=$(date +%s%N)
        wine_run 60 "$BIN/${pair%%:*}" >/dev/null ||
            { echo "${pair%%:*} failed or timed out (exit $?)"; exit 1; }
        echo $(( ($(date +%s%N) - start) / 1000 )) >>"$OUT/${pair#*:}"
    done
done
awk -v r="$(median <"$OUT/report.txt")" -v f="$(median <"$OUT/floor.txt")" \
    'BEGIN {printf "KavrinReport %.1f ms, floor %.1f ms, ratio %.2f\n", r / 1000, f / 1000, r / f}'

echo "== 3. size of Kavrin.exe with both clips"
awk -v s="$(stat -c %s "$BIN/Kavrin.exe")" 'BEGIN {printf "%d bytes (%.2f MiB; goal 1 MiB)\n", s, s / 2^20}'

echo "== 4. the report with a 32,767-character PATH against an empty PATH (native, -O2, no sanitizers)"
cmake -S . -B "$ROOT/perf-native" -DCMAKE_BUILD_TYPE=Release -DKAVRIN_SANITIZE=OFF >/dev/null &&
    cmake --build "$ROOT/perf-native" --target path_bench -j"$(nproc)" >/dev/null &&
    "$ROOT/perf-native/tests/perf/path_bench"
