#!/usr/bin/env bash
# Builds the two programs and starts Kavrin.exe under Wine. Without a display it prints the
# report and saves a screenshot of the main window under build/screenshots/.
set -u
cd "$(dirname "$0")"
. cmake/setup.sh

kavrin_install || { echo "package installation failed"; exit 1; }
kavrin_build_programs || { echo "build failed"; exit 1; }

ROOT=$BUILD
OUT="$BUILD/run"
mkdir -p "$OUT"
. cmake/wine_env.sh

if [ -n "${DISPLAY:-}" ]; then
    wine_prefix || exit 1
    exec "$WINE" "$BUILD/windows/Kavrin.exe"
fi

# No display: the report, then the window on a private Xvfb and a screenshot of it.
wine_start || exit 1
wine_run 120 "$BUILD/windows/KavrinReport.exe" | tr -d '\r' | iconv -f CP1252 -t UTF-8

# Wine's own desktop window draws the frame and caption that a window manager would.
"$WINE" explorer /desktop=Kavrin,1024x768 "$BUILD/windows/Kavrin.exe" </dev/null &
if ! timeout 60 xdotool search --sync --onlyvisible --name '^Kavrin$' >/dev/null 2>&1; then
    echo "no screenshot: the window did not appear within 60 s"
    exit 1
fi
mkdir -p "$BUILD/screenshots"
shot="$BUILD/screenshots/kavrin.png"
next="$BUILD/screenshots/kavrin-next.png"
# Painted once two shots 0.5 s apart are the same and show more than a few colours (the
# desktop and an empty window are one or two).
rm -f "$shot" "$next"
why="the window was not painted within 30 s"
end=$((SECONDS + 30))
while [ $SECONDS -lt $end ]; do
    if ! import -window root "$next" 2>/dev/null; then
        why="import could not read the screen"
        break
    fi
    if [ -f "$shot" ] && compare -metric AE "$shot" "$next" null: >/dev/null 2>&1 &&
        [ "$(identify -format %k "$next")" -gt 4 ]; then
        why=""
        break
    fi
    mv "$next" "$shot"
    sleep 0.5
done
rm -f "$next"
# Trimmed to the window: the screen around the desktop, then the desktop around it, are one
# colour each.
if [ -z "$why" ] && convert "$shot" -fuzz 2% -trim +repage -fuzz 2% -trim +repage "$shot"; then
    echo "screenshot: $shot"
else
    echo "no screenshot could be taken${why:+: $why}"
    exit 1
fi
