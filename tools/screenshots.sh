#!/usr/bin/env bash
# Screenshots for docs/: main-window.png, system-menu.png (opened with Alt+Space), about.png
# (the About box over the main window) and widmung.png (the dedication box over both), taken
# in Wine's own desktop window, which draws captions and frames.
# With a DPI, the prefix is switched to it for the shots, and the main window and the About box
# go to docs/ as main-window-DPIdpi.png and about-DPIdpi.png.
# Usage: tools/screenshots.sh [BUILD_ROOT [DPI]]   (default build; the programs must be built)
set -u
export LC_ALL=C
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=${1:-build}
case "$ROOT" in /*) ;; *) ROOT="$PWD/$ROOT" ;; esac
BIN="$ROOT/windows"
OUT="$ROOT/e2e"
DOCS=$(cd "$HERE/../docs" && pwd)
DPI=${2:-}
mkdir -p "$OUT"

. "$HERE/../cmake/wine_env.sh"
. "$HERE/../tests/e2e/x_steps.sh"
. "$HERE/../tests/e2e/versions.sh"

for exe in Kavrin.exe KavrinReport.exe kavrin_screenshots.exe; do
    [ -f "$BIN/$exe" ] || { echo "missing $BIN/$exe: build first" >&2; exit 1; }
done
wine_start || exit 1
shots=$DOCS
if [ -n "$DPI" ]; then
    shots="$OUT/shots-$DPI"
    mkdir -p "$shots"
    set_dpi "$DPI" || exit 1
    trap 'set_dpi ""; wine_stop' EXIT
fi
# explorer ends with 0 whatever the driver's exit code; its faults are in the log.
log="$OUT/screenshots.log"
x_run "$log" 120 explorer /desktop=Kavrin,1024x768 "$BIN/kavrin_screenshots.exe" "$shots"
if grep -aq '^- ' "$log"; then
    grep -a '^- ' "$log" | tr -d '\r' >&2
    exit 1
fi
for name in main-window system-menu about widmung; do
    [ -s "$shots/$name.png" ] || { echo "no $shots/$name.png" >&2; exit 1; }
    if [ -n "$DPI" ]; then
        [ "$name" = main-window ] || [ "$name" = about ] || continue
        cp "$shots/$name.png" "$DOCS/$name-${DPI}dpi.png"
        echo "$DOCS/$name-${DPI}dpi.png"
    else
        echo "$DOCS/$name.png"
    fi
done
