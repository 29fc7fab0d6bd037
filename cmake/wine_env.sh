# The one Wine and Xvfb setup of run.sh, the e2e suite, the Windows-side checks, the
# performance record and the screenshots; sourced with ROOT (the build root) and OUT (a folder
# for logs) set. Provides WINE, wine_prefix (the prefix alone), wine_start (display and
# prefix), wine_run and wine_stop (also on EXIT).

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export WINEPREFIX="$ROOT/wine"
export WINEDEBUG=-all
# No Mono or Gecko prompts while the prefix is created.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEPATH
xvfb_pid=""

# Ends every process of the prefix and its wineserver.
stop_wineserver() {
    timeout 20 "$WINESERVER" -k >/dev/null 2>&1
    timeout 20 "$WINESERVER" -w >/dev/null 2>&1
}

wine_stop() {
    stop_wineserver
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
        xvfb_pid=""
    fi
}
trap wine_stop EXIT
trap 'exit 130' INT TERM

# A fresh display each run: the prefix's wineserver binds to the display of its first client.
# Xvfb picks a free display number itself and writes it once it accepts connections, so two
# runs side by side never share one. Prints the reason when there is none.
start_xvfb() {
    local number="$OUT/xvfb.display" i
    : >"$number"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number" >"$OUT/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for i in $(seq 1 300); do
        if [ -s "$number" ]; then
            export DISPLAY=":$(head -1 "$number")"
            return 0
        fi
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
    echo "Xvfb gave no display within 30 s: $(tail -1 "$OUT/xvfb.log")"
    return 1
}

# Starts the display and readies the prefix; prints the reason when it cannot.
wine_start() {
    start_xvfb || return 1
    stop_wineserver    # a server left from an earlier run would still use its old display
    wine_prefix
}

# Creates the prefix on first use and gives it the settings the scripts rely on; prints the
# reason when it cannot.
wine_prefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        LC_ALL=C.UTF-8 timeout -k 5 300 "$WINE" wineboot -i >"$OUT/wineboot.log" 2>&1 </dev/null
        stop_wineserver
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            echo "wineboot -i did not create $WINEPREFIX"
            return 1
        fi
    fi
    # A crashing program ends at once instead of waiting behind Wine's crash dialog.
    if ! grep -q '"ShowCrashDialog"=dword:00000000' "$WINEPREFIX/user.reg"; then
        wine_run 60 reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
            >/dev/null 2>&1
        stop_wineserver
    fi
    # Without a window manager Wine waits 2 s for each managed window it hides or destroys
    # (until its wait for the withdrawn state times out); unmanaged windows go at once.
    if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg"; then
        wine_run 60 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
            >/dev/null 2>&1
        stop_wineserver
    fi
    # Wine looks for Marlett, the caption buttons' glyphs, only in the prefix's Fonts folder.
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    if [ ! -e "$fonts/marlett.ttf" ] && [ -e /usr/share/wine/fonts/marlett.ttf ]; then
        mkdir -p "$fonts" && cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
    fi
}

# wine_run SECONDS PROGRAM ARGS... : runs under Wine with stdin closed, in the C.UTF-8 locale
# (ANSI code page 1252, console 437; file names with umlauts as UTF-8) whatever the caller's,
# or, when WINE_LOCALE lists locale variables ("LANG=... LC_MESSAGES=..."), in those instead
# of LC_ALL; the wineserver keeps the locale of its first run. A hung run is killed
# together with everything else in the prefix, so the next one starts clean; it returns 124.
wine_run() {
    local secs=$1 rc
    local -a locale=(LC_ALL=C.UTF-8)
    [ -z "${WINE_LOCALE-}" ] || read -ra locale <<<"-u LC_ALL $WINE_LOCALE"
    shift
    env "${locale[@]}" timeout -k 5 "$secs" "$WINE" "$@" </dev/null
    rc=$?
    if [ $rc -eq 124 ] || [ $rc -eq 137 ]; then
        stop_wineserver
        rc=124
    fi
    return $rc
}
