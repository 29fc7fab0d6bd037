#!/usr/bin/env bash
# Runs afx_checks.exe under Wine on a private Xvfb display (it makes windows and uses
# the clipboard), in the end-to-end suite's prefix. Usage: tests/win/run.sh BUILD_ROOT
set -u
export LC_ALL=C
ROOT=${1:?build root}
OUT="$ROOT/win"
mkdir -p "$OUT"
. "$(cd "$(dirname "$0")/../.." && pwd)/cmake/wine_env.sh"

wine_start || { echo "not ok - Wine could not be started"; exit 1; }
wine_run 120 "$ROOT/windows/afx_checks.exe" | tr -d '\r'
rc=${PIPESTATUS[0]}
# 1 means failed checks, already listed; anything else is a crash or a time-out.
[ "$rc" -eq 0 ] || [ "$rc" -eq 1 ] || echo "not ok - afx_checks.exe ended with $rc"
exit "$rc"
