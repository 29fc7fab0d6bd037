# shellcheck shell=bash
# Real X input and screenshots that the Windows-side driver asks for; sourced by run.sh and
# screenshots.sh (uses wine_run). The driver prints "do VERB ARGS..." lines; each is carried out
# once, in order, and acknowledged with a line in the file that E2E_ACK names.

# x_do key TITLE-REGEX KEYSYM... | click X Y BUTTON REPEAT | shot FILE X Y W H
# A key goes to the first window whose title matches, once it has the focus; a shot saves that
# rectangle of the screen.
x_do() {
    local wid
    case "$1" in
        key)
            wid=$(xdotool search --name "$2" 2>/dev/null | head -1)
            [ -n "$wid" ] && timeout 10 xdotool windowfocus --sync "$wid" key "${@:3}" ;;
        click)
            timeout 10 xdotool mousemove --sync "$2" "$3" click --repeat "$5" --delay 80 "$4" ;;
        shot)
            timeout 20 import -window root -crop "${5}x${6}+${3}+${4}" +repage -strip \
                -define png:exclude-chunks=date,time "$2" ;;
    esac
}

# x_run LOG SECONDS PROGRAM ARGS... : runs PROGRAM under Wine with its output in LOG and carries
# out the steps it asks for until it ends; returns its exit code.
x_run() {
    local log=$1 secs=$2 pid done=0 i ended rc
    local -a steps
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
            x_do ${steps[i]#do } >>"$log.x" 2>&1
            echo "$i" >>"$E2E_ACK"
        done
        done=${#steps[@]}
        [ "$ended" -gt 0 ] && break
        sleep 0.1
    done
    wait "$pid"
    unset E2E_ACK
    rc=$(sed -n 's/^exit //p' "$log" | tail -1)
    return "${rc:-1}"
}
