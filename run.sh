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

"$WINE" "$BUILD/windows/KavrinReport.exe" | tr -d '\r' | iconv -f CP1252 -t UTF-8

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
sleep 1
# Wine's own desktop window draws the frame and caption that a window manager would.
"$WINE" explorer /desktop=Kavrin,1024x768 "$BUILD/windows/Kavrin.exe" &
for _ in $(seq 1 60); do
    xdotool search --name '^Kavrin$' >/dev/null 2>&1 && break
    sleep 0.5
done
sleep 2
mkdir -p "$BUILD/screenshots"
shot="$BUILD/screenshots/kavrin.png"
# Trimmed to the window: the desktop around it is one colour.
if import -window root "$shot" 2>/dev/null && convert "$shot" -fuzz 2% -trim +repage "$shot"; then
    echo "screenshot: $shot"
else
    echo "no screenshot could be taken"
fi
