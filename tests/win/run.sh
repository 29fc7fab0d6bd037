#!/usr/bin/env bash
# Runs afx_checks.exe under Wine on a private Xvfb display (it makes windows and uses
# the clipboard). Usage: tests/win/run.sh BUILD_ROOT
set -u
export LC_ALL=C
ROOT=${1:?build root}
export WINEPREFIX="$ROOT/wine-win" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
WINE=/usr/lib/wine/wine64

n=60
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$n"
trap '/usr/lib/wine/wineserver -k 2>/dev/null; kill $xvfb 2>/dev/null' EXIT
[ -d "$WINEPREFIX/drive_c" ] || timeout 120 "$WINE" wineboot -i >/dev/null 2>&1
timeout 120 "$WINE" "$ROOT/windows/afx_checks.exe" | tr -d '\r'
rc=${PIPESTATUS[0]}
# 1 means failed checks, already listed; anything else is a crash or a time-out.
[ "$rc" -eq 0 ] || [ "$rc" -eq 1 ] || echo "not ok - afx_checks.exe ended with $rc"
exit "$rc"
