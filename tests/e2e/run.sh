#!/usr/bin/env bash
# End-to-end checks of the built programs under Wine and a private Xvfb display.
# Usage: tests/e2e/run.sh BUILD_ROOT   (programs in BUILD_ROOT/windows, prefix in BUILD_ROOT/wine)
# Prints "ok - NAME" or "not ok - NAME: REASON" per check and ends with
# "e2e: N passed, N failed"; exits non-zero when any check failed.
set -u
export LC_ALL=C

[ $# -eq 1 ] || { echo "usage: $0 BUILD_ROOT" >&2; exit 2; }
ROOT=$1
case "$ROOT" in /*) ;; *) ROOT="$PWD/$ROOT" ;; esac
HERE=$(cd "$(dirname "$0")" && pwd)
BIN="$ROOT/windows"
OUT="$ROOT/e2e"
mkdir -p "$OUT"

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export WINEPREFIX="$ROOT/wine"
export WINEDEBUG=-all
# No Mono or Gecko prompts while the prefix is created.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEPATH

. "$HERE/report_checks.sh"

passed=0
failed=0
xvfb_pid=""

pass() { echo "ok - $1"; passed=$((passed + 1)); }
fail() { echo "not ok - $1: $2"; failed=$((failed + 1)); }

stop_wine() {
    timeout 20 "$WINESERVER" -k >/dev/null 2>&1
    timeout 20 "$WINESERVER" -w >/dev/null 2>&1
}

cleanup() {
    stop_wine
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
        xvfb_pid=""
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A fresh display each run: the prefix's wineserver binds to the display of its first client.
start_xvfb() {
    local n i
    for n in $(seq 90 189); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$OUT/xvfb.log" 2>&1 &
        xvfb_pid=$!
        for i in $(seq 1 50); do
            if ! kill -0 "$xvfb_pid" 2>/dev/null; then
                break      # lost the race for this number; try the next
            fi
            if xdpyinfo -display ":$n" >/dev/null 2>&1; then
                export DISPLAY=":$n"
                return 0
            fi
            sleep 0.1
        done
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
        xvfb_pid=""
    done
    return 1
}

# wine_run SECONDS PROGRAM ARGS... : runs under Wine with stdin closed; a hung run is killed,
# and so is everything else in the prefix, so the next check starts clean. Returns the exit code
# (124 on timeout).
wine_run() {
    local secs=$1 rc
    shift
    timeout -k 5 "$secs" "$WINE" "$@" </dev/null
    rc=$?
    if [ $rc -eq 124 ] || [ $rc -eq 137 ]; then
        stop_wine
        rc=124
    fi
    return $rc
}

# driver_check NAME SECONDS SUBCOMMAND ARGS... : one check run by the Windows-side driver, which
# prints "- reason" lines and exits 0 on success.
driver_check() {
    local name=$1 secs=$2 log="$OUT/$1.log" rc reason
    shift 2
    if [ ! -f "$BIN/kavrin_e2e.exe" ]; then
        fail "$name" "kavrin_e2e.exe was not built"
        return
    fi
    wine_run "$secs" "$BIN/kavrin_e2e.exe" "$@" >"$log" 2>&1
    rc=$?
    if [ $rc -eq 0 ]; then
        pass "$name"
        return
    fi
    reason=$(grep -a '^- ' "$log" | sed 's/^- //' | tr -d '\r' | head -5 | paste -sd ';' - | cut -c1-400)
    [ $rc -eq 124 ] && reason="timed out after ${secs}s${reason:+; $reason}"
    [ -z "$reason" ] && reason="exit code $rc: $(tr -d '\r' <"$log" | tail -1 | cut -c1-200)"
    fail "$name" "$reason"
}

if ! start_xvfb; then
    echo "not ok - xvfb: no free display between :90 and :189"
    echo "e2e: 0 passed, 1 failed"
    exit 1
fi
stop_wine    # a server left from an earlier run would still talk to its old display

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    timeout -k 5 300 "$WINE" wineboot -i >"$OUT/wineboot.log" 2>&1 </dev/null
    stop_wine
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        fail "wine prefix" "wineboot -i did not create $WINEPREFIX"
        echo "e2e: $passed passed, $failed failed"
        exit 1
    fi
fi

# The console report: plain environment, a PATH of several thousand characters, and a PATH
# holding printf directives.
report_case "report" ""
long_path=""
for i in $(seq -w 1 300); do long_path+="C:\\Programme\\Kavrin Test\\lang$i;"; done
report_case "report long PATH" "${long_path%;}"
report_case "report PATH with %s %d %n" 'C:\pro%s;C:\%d%n\bin;C:\x%%y;C:\%PATH%'

# The main window, through the Windows-side driver.
if [ ! -f "$BIN/Kavrin.exe" ]; then
    fail "Kavrin.exe" "not built ($BIN/Kavrin.exe is missing)"
else
    driver_check "window shows the report" 60 window
    driver_check "copy puts the report on the clipboard" 60 copy
    driver_check "typed text is neither copied nor overwritten" 60 typed
    driver_check "copy leaves a clipboard held open by another process" 60 busy
    driver_check "layout follows resizing" 60 resize
    driver_check "minimum window size" 60 minsize
    driver_check "OK button ends with exit code 0" 60 end ok
    driver_check "Enter at start ends with exit code 0" 60 end enter
    driver_check "Escape ends with exit code 0" 60 end escape
    driver_check "WM_CLOSE ends with exit code 0" 60 end close
    driver_check "SC_CLOSE ends with exit code 0" 60 end sysclose
    driver_check "Space on the OK button ends with exit code 0" 60 end space
    driver_check "200 copies keep memory flat" 180 leak
fi

echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
