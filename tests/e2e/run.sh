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

. "$HERE/wine_env.sh"
. "$HERE/report_checks.sh"
. "$HERE/x_steps.sh"
. "$HERE/versions.sh"

passed=0
failed=0

# E2E_ONLY (an extended regular expression) runs only the checks whose names match it.
selected() { [ -z "${E2E_ONLY-}" ] || [[ "$1" =~ $E2E_ONLY ]]; }
pass() { echo "ok - $1"; passed=$((passed + 1)); }
fail() { echo "not ok - $1: $2"; failed=$((failed + 1)); }
slug() { echo "$1" | tr -c 'A-Za-z0-9\n' '-' | tr -s - | sed 's/-$//'; }

# driver_check NAME SECONDS SUBCOMMAND ARGS... : one check run by the Windows-side driver, which
# prints "- reason" lines and exits 0 on success.
driver_check() {
    local name=$1 secs=$2 log="$OUT/$(slug "$1").log" rc reason
    shift 2
    selected "$name" || return 0
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

# x_check NAME ACTION CHECK ARGS... : the driver starts Kavrin.exe, prints "ready X Y" and runs
# the check, while the X server delivers real input: ACTION "key:KEYSYM" presses a key in the
# window, "click" clicks at (X, Y).
x_check() {
    local name=$1 action=$2 log="$OUT/$(slug "$1").log"
    local pid i bx by rc why=""
    shift 2
    selected "$name" || return 0
    if [ ! -f "$BIN/kavrin_e2e.exe" ]; then
        fail "$name" "kavrin_e2e.exe was not built"
        return
    fi
    : >"$log"
    ( wine_run 60 "$BIN/kavrin_e2e.exe" "$@" >"$log" 2>&1; echo "exit $?" >>"$log" ) &
    pid=$!
    for i in $(seq 1 300); do
        grep -q '^ready\|^exit' "$log" && break
        sleep 0.1
    done
    read -r _ bx by < <(grep -a '^ready' "$log" | tr -d '\r')
    if [ -z "${bx-}" ]; then
        grep -q '^exit' "$log" || why="no ready line within 30 s"
    else
        case "$action" in
            key:*) x_do key '^Kavrin$' "${action#key:}" ;;
            click) x_do click '^Kavrin$' "$bx" "$by" 1 1 ;;
        esac >"$log.x" 2>&1 || why="the X input failed: $(tr '\n' ' ' <"$log.x")"
    fi
    wait "$pid"
    rc=$(sed -n 's/^exit //p' "$log" | tail -1)
    if [ "$rc" = 0 ] && [ -z "$why" ]; then
        pass "$name"
    else
        fail "$name" "$(grep -a '^- ' "$log" | sed 's/^- //' | tr -d '\r' | paste -sd ';' - | cut -c1-300)${why:+ [$why]} (exit ${rc:-?})"
    fi
}

# x_script NAME SECONDS CHECK ARGS... : a driver check that asks for real X input (x_steps.sh).
x_script() {
    local name=$1 secs=$2 log="$OUT/$(slug "$1").log" rc
    shift 2
    selected "$name" || return 0
    if [ ! -f "$BIN/kavrin_e2e.exe" ]; then
        fail "$name" "kavrin_e2e.exe was not built"
        return
    fi
    x_run "$log" "$secs" "$BIN/kavrin_e2e.exe" "$@"
    rc=$?
    if [ $rc -eq 0 ]; then
        pass "$name"
    else
        fail "$name" "$(grep -a '^- ' "$log" | sed 's/^- //' | tr -d '\r' | head -5 | paste -sd ';' - | cut -c1-400) (exit $rc)"
    fi
}

# planting_check NAME SECONDS NATIVE_FIRST : copies of both programs run from a folder that also
# holds a planted version.dll, comctl32.dll and uxtheme.dll (stand-ins built from plant.cpp, each
# leaving planted-NAME.txt beside itself when loaded), with the DLLs named in NATIVE_FIRST tried
# native first, as Windows would. The programs must work as built and load no stand-in. The
# theme DLL is loaded by Windows' own window code, not by the programs: floor_dialog.exe, which
# leaves the search order as it is, shows that it would be taken from the folder.
planting_check() {
    local name=$1 secs=$2 native=$3 dir f
    selected "$name" || return 0
    dir=$(mktemp -d)
    for f in plant/version.dll plant/comctl32.dll plant/uxtheme.dll Kavrin.exe KavrinReport.exe \
             floor_dialog.exe; do
        if [ ! -f "$BIN/$f" ]; then
            fail "$name" "$f was not built"
            rm -rf "$dir"
            return
        fi
        cp "$BIN/$f" "$dir/"
    done
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;$native=n,b" driver_check "$name: they work as built" "$secs" planted "$dir"
    if grep -aqs 'Kavrin[A-Za-z]*\.exe' "$dir"/planted-*.txt; then
        fail "$name: no stand-in is loaded" \
            "$(cd "$dir" && grep -aH . planted-*.txt | tr -d '\r' | paste -sd ' ' - | cut -c1-300)"
    else
        pass "$name: no stand-in is loaded"
    fi
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;$native=n,b" \
        driver_check "$name: a program without the System32-only search loads the theme stand-in" \
        30 plantcontrol "$dir"
    rm -rf "$dir"
}

if ! wine_start >"$OUT/wine.why"; then
    fail "wine" "$(cat "$OUT/wine.why")"
    echo "e2e: $passed passed, $failed failed"
    exit 1
fi

# Section 1 under every Windows version Wine offers; first, as it resets the prefix's version.
version_matrix

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
    export WINEPATH="${long_path%;}"
    driver_check "window shows the report with a long PATH" 60 window
    driver_check "copy with a long PATH" 60 copy
    unset WINEPATH
    driver_check "copy puts the report on the clipboard" 60 copy
    driver_check "typed text is neither copied nor overwritten" 60 typed
    driver_check "copy leaves a clipboard held open by another process" 60 busy
    driver_check "layout follows resizing" 60 resize
    driver_check "minimum window size" 60 minsize
    driver_check "OK button ends with exit code 0" 60 end ok
    driver_check "IDOK command ends with exit code 0" 60 end okcommand
    driver_check "Enter at start ends with exit code 0" 60 end enter
    driver_check "Escape ends with exit code 0" 60 end escape
    driver_check "WM_CLOSE ends with exit code 0" 60 end close
    driver_check "SC_CLOSE ends with exit code 0" 60 end sysclose
    driver_check "Space on the OK button ends with exit code 0" 60 end space
    x_check "Enter key from X at start ends with exit code 0" key:Return end wait
    x_check "Escape key from X ends with exit code 0" key:Escape end wait
    x_check "mouse click from X on OK ends with exit code 0" click end wait
    x_check "mouse click from X on the menu's Copy copies the report" click menuclick
    driver_check "200 copies keep memory flat" 180 leak

    # The About box and the dedication box.
    driver_check "About box: texts, icon, animation; Widmung from a right double-click" 60 about
    driver_check "system commands 0x0010-0x001F open the About box, others do not" 90 syscommands
    driver_check "ID_HELP opens the About box whatever its notification code" 60 help
    x_script "F1 from X opens the About box, F1 in the box no second one" 60 f1
    x_script "right double-click from X: Widmung from the client area, not from a child" 60 rdblclick
    driver_check "50 openings of the About box keep memory flat" 180 aboutleak
    tmp=$(mktemp -d)
    cp "$BIN/Kavrin.exe" "$tmp/Andere.exe"
    driver_check "a copy named Andere.exe shows \"Info über Andere\" and its version" 60 othername "$tmp"
    rm -rf "$tmp"
    driver_check "soak: 1000 copies and 200 About boxes, every fifth with Widmung" 600 soak
    # Wine's own user32.dll imports version.dll, so with version.dll native first its stand-in
    # is loaded before the programs run; it stays at Wine's default order (builtin first).
    planting_check "version.dll, comctl32.dll and uxtheme.dll planted beside the programs" 120 \
        comctl32,uxtheme
fi

echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
