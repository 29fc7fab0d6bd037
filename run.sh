#!/usr/bin/env bash
# Builds everything and starts Kavrin.exe under Wine. Without a display it prints the
# report and saves a screenshot of the main window under build/screenshots/.
set -u
cd "$(dirname "$0")"
. cmake/setup.sh

kavrin_install || { echo "package installation failed"; exit 1; }
kavrin_build || { echo "build failed"; exit 1; }

WINE=/usr/lib/wine/wine64
kavrin_wineprefix

if [ -n "${DISPLAY:-}" ]; then
    exec "$WINE" "$BUILD/windows/Kavrin.exe"
fi

timeout 120 "$WINE" "$BUILD/windows/KavrinReport.exe" | tr -d '\r' | iconv -f CP1252 -t UTF-8

# No display: a private Xvfb, the window, a screenshot.
n=70
while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$n"
cleanup() {
    /usr/lib/wine/wineserver -k 2>/dev/null
    kill "$xvfb" 2>/dev/null
}
trap cleanup EXIT
for _ in $(seq 1 300); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done
xdpyinfo >/dev/null 2>&1 || { echo "no screenshot: Xvfb :$n did not answer within 30 s"; exit 1; }
# Wine's own desktop window draws the frame and caption that a window manager would.
"$WINE" explorer /desktop=Kavrin,1024x768 "$BUILD/windows/Kavrin.exe" &
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
# Trimmed to the window: the desktop around it is one colour.
if [ -z "$why" ] && convert "$shot" -fuzz 2% -trim +repage "$shot"; then
    echo "screenshot: $shot"
else
    echo "no screenshot could be taken${why:+: $why}"
    exit 1
fi
