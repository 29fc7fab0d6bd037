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

. "$HERE/../../cmake/wine_env.sh"
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
# faults LOG: the first "- reason" lines of a driver's log, joined by ";".
faults() { grep -a '^- ' "$1" | sed 's/^- //' | tr -d '\r' | head -5 | paste -sd ';' - | cut -c1-400; }

# driver_check NAME SECONDS HELP : runs one check of the Windows-side driver, carrying out the
# real X input it asks for (x_steps.sh); it prints "- reason" lines and exits 0 on success.
driver_check() {
    local name=$1 secs=$2 help=$3 log="$OUT/$1.log" rc reason
    selected "$help" || selected "$name" || return 0
    x_run "$log" "$secs" "$BIN/kavrin_e2e.exe" "$name"
    rc=$?
    if [ $rc -eq 0 ]; then
        pass "$help"
        return
    fi
    reason=$(faults "$log")
    [ $rc -eq 124 ] && reason="timed out after ${secs}s${reason:+; $reason}"
    [ -z "$reason" ] && reason="exit code $rc: $(tr -d '\r' <"$log" | tail -1 | cut -c1-200)"
    fail "$help" "$reason"
}

# The paste check under a German system and a Russian user locale of the suite's own making;
# the wineserver keeps the locale of its first run, so it is stopped before and after.
locale_case() {
    local help="paste under a Russian user locale" loc="$OUT/locale"
    selected "$help" || return 0
    [ -d "$loc/ru_RU.UTF-8" ] || { mkdir -p "$loc" && localedef -i de_DE -f UTF-8 "$loc/de_DE.UTF-8" &&
        localedef -i ru_RU -f UTF-8 "$loc/ru_RU.UTF-8"; } >"$OUT/localedef.log" 2>&1
    stop_wineserver
    LOCPATH=$loc WINE_LOCALE="LANG=de_DE.UTF-8 LC_MESSAGES=ru_RU.UTF-8" E2E_LCID=0419 driver_check paste 60 "$help"
    stop_wineserver
}

if ! wine_start >"$OUT/wine.why"; then
    fail "wine" "$(cat "$OUT/wine.why")"
    echo "e2e: $passed passed, $failed failed"
    exit 1
fi

# A DPI that an aborted run left behind goes before any check.
set_dpi ""
# The report's titles and fixed lines, from tests/Expected.h.
expected_facts
# Section 1 under every Windows version Wine offers; first, as it resets the prefix's version.
version_matrix

# The console report: plain environment, a PATH of several thousand characters, and a PATH
# holding printf directives.
report_case "report" ""
long_path=""
for i in $(seq -w 1 300); do long_path+="C:\\Programme\\Kavrin Test\\lang$i;"; done
report_case "report long PATH" "${long_path%;}"
report_case "report PATH with %s %d %n" 'C:\pro%s;C:\%d%n\bin;C:\x%%y;C:\%PATH%'

# The download, unpacked where a browser puts it, for the driver's "download" check.
downloads="$WINEPREFIX/drive_c/users/Public/Downloads/Kavrin 2.0 für Jürgen"
rm -rf "$downloads"
mkdir -p "$downloads" && unzip -q "$BIN"/Kavrin-*-win64.zip -d "$downloads" 2>"$OUT/unzip.err"

# Every check of the Windows-side driver, as its registry lists them.
if [ ! -f "$BIN/kavrin_e2e.exe" ] || [ ! -f "$BIN/Kavrin.exe" ]; then
    fail "driver" "kavrin_e2e.exe or Kavrin.exe was not built"
elif ! wine_run 30 "$BIN/kavrin_e2e.exe" --list >"$OUT/checks.txt" 2>&1; then
    fail "driver" "kavrin_e2e.exe --list failed: $(tr -d '\r' <"$OUT/checks.txt" | head -c 200)"
else
    while read -r name secs help; do
        driver_check "$name" "$secs" "$help"
    done < <(tr -d '\r' <"$OUT/checks.txt")
    locale_case
    dpi_matrix
fi

echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
