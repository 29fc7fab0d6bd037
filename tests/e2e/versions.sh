# The Windows version matrix; sourced by run.sh (uses BIN, OUT, WINEPREFIX, wine_run, selected,
# pass, fail, faults, and check_frame and expect_version_info of report_checks.sh).
# Under each version Wine offers a 64-bit prefix, section 1 of the window must equal KavrinReport's
# (the driver's window check compares the whole text), and KavrinReport's must hold what
# version_probe.exe, which carries the same manifest, is told.

# Each version as winecfg names it, with the major.minor it presents to a program whose manifest
# declares every system up to Windows 10.
windows_versions=(win10=10.0 win81=6.3 win8=6.2 win2008r2=6.1 win7=6.1 win2008=6.0 vista=6.0
                  win2003=5.2 winxp64=5.2)
version_now=""

# set_value KEY NAME TYPE DATA: one value that Wine reads as each process starts; "" removes it.
set_value() {
    if [ -n "$4" ]; then
        wine_run 30 reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1
    else
        wine_run 30 reg delete "$1" /v "$2" /f >/dev/null 2>&1
    fi
}
# set_windows_version NAME: without the value ("") the prefix is what its registry says.
set_windows_version() { set_value 'HKCU\Software\Wine' Version REG_SZ "$1"; }
# set_dpi N: the DPI of the programs started from now on; "" for the prefix's own, 96. Wine 10
# gives the monitors the DPI of the wineserver's start, as Windows does at sign-in: it restarts.
set_dpi() { set_value 'HKCU\Control Panel\Desktop' LogPixels REG_DWORD "$1" && stop_wineserver; }

# use_windows_version NAME CHECK: the prefix under that version from now on; fails CHECK when not.
use_windows_version() {
    [ "$1" = "$version_now" ] && return
    set_windows_version "$1" && version_now=$1 && return
    fail "$2" "cannot set the Windows version to '$1'"
    return 1
}

# version_case NAME MAJOR.MINOR: one check of both programs under that version.
version_case() {
    local v=$1 want=$2 name="Windows version $1: both programs print $2, its build and service pack"
    local log="$OUT/version-$1" window rc build major minor spmaj spmin csd why=""
    selected "$name" && use_windows_version "$v" "$name" || return 0
    wine_run 60 "$BIN/kavrin_e2e.exe" window >"$log.window" 2>&1 &
    window=$!
    if ! wine_run 30 "$BIN/version_probe.exe" >"$log.probe" 2>&1; then
        why="version_probe.exe failed: $(tr -d '\r' <"$log.probe" | head -c 200)"
    else
        read -r build major minor spmaj spmin csd < <(tr -d '\r' <"$log.probe")
        if [ "$major.$minor" != "$want" ]; then
            why="the probe is told $major.$minor build $build"
        elif ! wine_run 30 "$BIN/KavrinReport.exe" >"$log.txt" 2>/dev/null; then
            why="KavrinReport.exe did not exit with 0"
        elif ! check_frame "$log.txt" >"$log.why" ||
             ! expect_version_info "$build" "$major" "$minor" "$csd" "$spmaj" "$spmin" >"$log.why"; then
            why="KavrinReport: $(head -c 300 "$log.why")"
        fi
    fi
    wait "$window"
    rc=$?
    if [ $rc -ne 0 ]; then
        why+="${why:+; }window check, exit code $rc: $(faults "$log.window")"
    fi
    if [ -z "$why" ]; then pass "$name"; else fail "$name" "$why"; fi
}

# Shows that the matrix can fail: a program without a manifest is told Windows 8 on win10.
version_control() {
    local name="control: a probe without a manifest is told 6.2 on win10" got
    selected "$name" && use_windows_version win10 "$name" || return 0
    got=$(wine_run 30 "$BIN/version_probe_bare.exe" 2>&1 | tr -d '\r' | cut -d' ' -f1-3)
    if [ "$got" = "9200 6 2" ]; then pass "$name"; else fail "$name" "build, major, minor: $got"; fi
}

# Called first after wine_start, while no wineserver runs and the saved registry is current: a
# version that an aborted run left behind goes before any check; the prefix's own comes back
# at the end.
version_matrix() {
    local entry
    if awk '/^\[/ { sec = ($1 == "[Software\\\\Wine]") } sec && /^"Version"=/ { found = 1 }
            END { exit !found }' "$WINEPREFIX/user.reg" && ! set_windows_version ""; then
        fail "Windows version" "cannot remove the version an earlier run left in the prefix"
    fi
    for entry in "${windows_versions[@]}"; do
        version_case "${entry%=*}" "${entry#*=}"
        [ "${entry%=*}" = win10 ] && version_control
    done
    use_windows_version "" "Windows version"
}

# The main window's minimum size and layout, and the boxes' texts (afx_checks.exe, which names
# the DPI it was given), at the display scales of laptops. Called last: it ends at 96 DPI.
dpi_matrix() {
    local dpi line rc
    for dpi in 120 144 168 192 216 240; do
        selected "$dpi DPI" || continue
        set_dpi "$dpi" || { fail "$dpi DPI" "cannot set LogPixels"; continue; }
        E2E_DPI=$dpi driver_check minsize 60 "$dpi DPI: minimum window size"
        E2E_DPI=$dpi driver_check resize 60 "$dpi DPI: layout follows resizing"
        # Each line is a result; a crash or a hang fails as well.
        wine_run 60 "$BIN/afx_checks.exe" fit >"$OUT/fit-$dpi.log" 2>&1
        rc=$?
        while read -r line; do
            case "$line" in
                "ok - "*" at $dpi DPI") pass "${line#ok - }" ;;
                *) fail "$dpi DPI: box texts" "$line" ;;
            esac
        done < <(tr -d '\r' <"$OUT/fit-$dpi.log")
        [ $rc -eq 0 ] || [ $rc -eq 1 ] || fail "$dpi DPI: box texts" "afx_checks.exe fit ended with $rc"
    done
    set_dpi ""
}
