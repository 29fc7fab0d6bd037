#!/usr/bin/env bash
# Start-up time of Kavrin.exe against floor_dialog.exe (an empty modal dialog), both under
# Wine on a private Xvfb display: RUNS interleaved starts of each, medians and their ratio.
# Usage: tests/e2e/bench_startup.sh [BUILD_ROOT [RUNS]]   (defaults: build, 10)
set -u
export LC_ALL=C
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=${1:-build}
RUNS=${2:-10}
case "$ROOT" in /*) ;; *) ROOT="$PWD/$ROOT" ;; esac
BIN="$ROOT/windows"
OUT="$ROOT/e2e"
mkdir -p "$OUT"

. "$HERE/wine_env.sh"

for exe in Kavrin.exe KavrinReport.exe floor_dialog.exe kavrin_e2e.exe; do
    [ -f "$BIN/$exe" ] || { echo "missing $BIN/$exe: build first" >&2; exit 1; }
done
wine_start || exit 1
# One untimed start of each, so that the first timed run does not pay for a cold prefix.
wine_run 120 "$BIN/kavrin_e2e.exe" bench 1 >/dev/null
wine_run 600 "$BIN/kavrin_e2e.exe" bench "$RUNS" | tr -d '\r'
