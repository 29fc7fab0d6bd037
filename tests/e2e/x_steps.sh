# shellcheck shell=bash
# Real X input and screenshots that the Windows-side driver asks for; sourced by run.sh and
# screenshots.sh (uses wine_run). The driver prints "do VERB ARGS..." lines; each is carried out
# once, in order, and acknowledged with a line "N ok" or "N failed" in the file that E2E_ACK
# names.

# x_do key TITLE-REGEX KEYSYM... | click TITLE-REGEX X Y BUTTON REPEAT | shot FILE X Y W H
# A key goes to the first mapped window whose title matches, once it has the focus; a click
# waits for such a window to be mapped (up to 10 s); a shot saves that rectangle of the screen.
x_do() {
    local wid
    if [ "$1" = key ] || [ "$1" = click ]; then
        wid=$(timeout 10 xdotool search --sync --onlyvisible --name "$2" 2>/dev/null | head -1)
        [ -n "$wid" ] || { echo "no mapped window titled $2 within 10 s"; return 1; }
    fi
    case "$1" in
        key)
            timeout 10 xdotool windowfocus --sync "$wid" key "${@:3}" ;;
        click)
            timeout 10 xdotool mousemove --sync "$3" "$4" click --repeat "$6" --delay 80 "$5" ;;
        shot)
            timeout 20 import -window root -crop "${5}x${6}+${3}+${4}" +repage -strip \
                -define png:exclude-chunks=date,time "$2" ;;
        *)
            echo "unknown step $1"; return 1 ;;
    esac
}

# x_run LOG SECONDS PROGRAM ARGS... : runs PROGRAM under Wine with its output in LOG and carries
# out the steps it asks for until it ends; returns its exit code, or 1 when it passed but a
# step failed. Each failed step is added to LOG as a "- " line once the program has ended.
x_run() {
    local log=$1 secs=$2 pid done=0 i ended rc out step_rc
    local -a steps failures=()
    shift 2
    export E2E_ACK="$log.ack"
    : >"$log"
    : >"$E2E_ACK"
    : >"$log.x"
    ( wine_run "$secs" "$@" >"$log" 2>&1; echo "exit $?" >>"$log" ) &
    pid=$!
    while :; do
        ended=$(grep -c '^exit' "$log")
        mapfile -t steps < <(grep -a '^do ' "$log" | tr -d '\r')
        for ((i = done; i < ${#steps[@]}; i++)); do
            # shellcheck disable=SC2086 # a step is a list of words
            out=$(x_do ${steps[i]#do } 2>&1)
            step_rc=$?
            [ -z "$out" ] || echo "$out" >>"$log.x"
            if [ $step_rc -eq 0 ]; then
                echo "$i ok" >>"$E2E_ACK"
            else
                echo "$i failed" >>"$E2E_ACK"
                [ $step_rc -eq 124 ] && out="timed out${out:+; $out}"
                failures+=("- step $i (${steps[i]#do }) failed: ${out:-exit code $step_rc}")
                failures[-1]=${failures[-1]//$'\n'/; }
            fi
        done
        done=${#steps[@]}
        [ "$ended" -gt 0 ] && break
        sleep 0.1
    done
    wait "$pid"
    unset E2E_ACK
    [ ${#failures[@]} -eq 0 ] || printf '%s\n' "${failures[@]}" >>"$log"
    rc=$(sed -n 's/^exit //p' "$log" | tail -1)
    [ "${rc:-1}" = 0 ] && [ ${#failures[@]} -gt 0 ] && rc=1
    return "${rc:-1}"
}
