# Checks of KavrinReport.exe's output; sourced by run.sh (uses WINE, BIN, OUT, wine_run,
# pass, fail). Expected values come from cmd's environment and the registry of the same
# prefix, never from the program's own code.

# report_lines FILE: fills LINES with the report lines (split at CR LF, a lone LF kept as
# "<LF>"); fails with a reason on stdout if the bytes break the line rules.
report_lines() {
    local text rest line
    LINES=()
    text=$(cat "$1"; printf x)
    text=${text%x}
    if [ -z "$text" ]; then echo "the output is empty"; return 1; fi
    case "$text" in *$'\r\r'*) echo "doubled CR"; return 1 ;; esac
    if [ "$(tail -c 4 "$1" | od -An -tx1 | tr -d ' \n')" != 0d0a0d0a ]; then
        echo "does not end with CR LF CR LF"; return 1
    fi
    rest=$text
    while [ -n "$rest" ]; do
        line=${rest%%$'\r\n'*}
        rest=${rest#*$'\r\n'}
        # The one bare LF of the report ends the service-pack line.
        [[ "$line" =~ ^Service\ Pack\ [0-9]+\.[0-9]+$'\n'$ ]] && line="${line%$'\n'}<LF>"
        if [[ "$line" == *[$'\r\n']* ]]; then
            line=${line//$'\r'/<CR>}
            echo "a CR or LF alone in: ${line//$'\n'/<LF>}"; return 1
        fi
        LINES+=("$line")
    done
}

# expected_facts: what the report must hold, from tests/Expected.h through the driver: the
# titles and rules into SECTIONS and RULES, the mouse-button lines, the AMD64 lines.
expected_facts() {
    local key a b
    SECTIONS=(); RULES=()
    while IFS=$'\t' read -r key a b; do
        case $key in
            section) SECTIONS+=("$a"); RULES+=("$b") ;;
            buttons) NOT_SWAPPED=$a; SWAPPED=$b ;;
            amd64) AMD64_TYPE=$a; AMD64_ARCH=$b ;;
        esac
    done < <(wine_run 30 "$BIN/kavrin_e2e.exe" --expected | tr -d '\r')
}

# check_frame FILE: the line rules, then for each section a title, its rule of hyphens, a body
# and one empty line; leaves the titles in TITLES and the bodies (lines joined by LF) in BODIES.
check_frame() {
    local i=0 k title body
    [ ${#SECTIONS[@]} -gt 0 ] || { echo "kavrin_e2e.exe --expected named no sections"; return 1; }
    report_lines "$1" || return 1
    TITLES=(); BODIES=()
    for k in "${!SECTIONS[@]}"; do
        title=${LINES[i]-}
        if [ "$title" != "${SECTIONS[k]}" ]; then echo "section $((k + 1)) is titled '$title'"; return 1; fi
        if [ "${LINES[i + 1]-}" != "$(printf '%*s' "${RULES[k]}" '' | tr ' ' -)" ]; then
            echo "rule under '$title' is '${LINES[i + 1]-}'"; return 1
        fi
        body=""
        for ((i += 2; i < ${#LINES[@]}; i++)); do
            [ -n "${LINES[i]}" ] || break
            body+="${LINES[i]}"$'\n'
        done
        [ -n "$body" ] || { echo "section '$title' has no body"; return 1; }
        [ $i -lt ${#LINES[@]} ] || { echo "section '$title' has no closing empty line"; return 1; }
        i=$((i + 1))
        TITLES+=("$title")
        BODIES+=("$body")
    done
    [ $i -eq ${#LINES[@]} ] || { echo "more than ${#SECTIONS[@]} sections: '${LINES[i]}' follows"; return 1; }
}

# Environment as cmd sees it, into ENVV (names upper-cased).
gather_env() {
    local name value
    declare -gA ENVV=()
    while IFS= read -r line; do
        line=${line%$'\r'}
        [[ "$line" == *=* ]] || continue
        name=${line%%=*}
        value=${line#*=}
        ENVV[${name^^}]=$value
    done < <(wine_run 60 cmd /c set)
}

# reg_value KEY NAME: the value's data as "reg query" prints it.
reg_value() {
    wine_run 60 reg query "$1" /v "$2" | tr -d '\r' |
        sed -n "s/^ \{4\}$2 \{4\}REG_[A-Z_]* \{4\}\(.*\)$/\1/p" | head -1
}

gather_registry() {
    [ -n "${REG_GATHERED-}" ] && return
    REG_GATHERED=1
    local nt='HKLM\Software\Microsoft\Windows NT\CurrentVersion'
    local mouse='HKCU\Control Panel\Mouse'
    REG_BUILD=$(reg_value "$nt" CurrentBuildNumber)
    REG_VERSION=$(reg_value "$nt" CurrentVersion)
    # From Windows 10 on, CurrentVersion stays 6.3 for old readers; these two hold the version.
    REG_MAJOR=$(reg_value "$nt" CurrentMajorVersionNumber)
    REG_MINOR=$(reg_value "$nt" CurrentMinorVersionNumber)
    REG_CSD=$(reg_value "$nt" CSDVersion)
    REG_SP=$(reg_value 'HKLM\System\CurrentControlSet\Control\Windows' CSDVersion)
    REG_SPEED=$(reg_value "$mouse" MouseSpeed)
    REG_T1=$(reg_value "$mouse" MouseThreshold1)
    REG_T2=$(reg_value "$mouse" MouseThreshold2)
    REG_SWAP=$(reg_value "$mouse" SwapMouseButtons)
}

# expect_body K LINE... : compares section K's body with the lines given; a line that starts
# with "~" is an extended regular expression instead.
expect_body() {
    local k=$1 i=0 want got
    shift
    local -a have=()
    mapfile -t have <<<"${BODIES[k]%$'\n'}"
    if [ ${#have[@]} -ne $# ]; then
        echo "'${TITLES[k]}' has ${#have[@]} body lines, expected $#"; return 1
    fi
    for want in "$@"; do
        got=${have[i]}
        i=$((i + 1))
        [[ "$got" == "$want" || "$want" == "~"* && "$got" =~ ${want:1} ]] && continue
        echo "'${TITLES[k]}' line $i is '$got', expected '$want'"; return 1
    done
}

# expect_version_info BUILD MAJOR MINOR CSD SP_MAJOR SP_MINOR: section 1's body for these values.
expect_version_info() {
    expect_body 0 "Plattform: Windows NT" \
        "Build: $1 (0x$(printf %x "$1"))" \
        "MajorVersion: $2 (0x$(printf %02x "$2"))" \
        "MinorVersion: $3 (0x$(printf %02x "$3"))" \
        "Version: $4" \
        "Service Pack $5.$6<LF>"
}

# check_values K: section K's body for this environment and registry.
check_values() {
    local major=$((${REG_MAJOR:-${REG_VERSION%%.*}})) minor=$((${REG_MINOR:-${REG_VERSION#*.}})) sp=$((REG_SP))
    local n=${ENVV[NUMBER_OF_PROCESSORS]:-0} level=${ENVV[PROCESSOR_LEVEL]:-0}
    local rev=$((16#${ENVV[PROCESSOR_REVISION]:-0})) ones mask swap=$NOT_SWAPPED
    [ "$REG_SWAP" = 1 ] && swap=$SWAPPED
    # N processors, all active: N ones at the right end of 32 digits.
    ones=$((n < 32 ? n : 32))
    mask=$(printf '%*s' $((32 - ones)) '' | tr ' ' 0)$(printf '%*s' "$ones" '' | tr ' ' 1)
    case $1 in
        1) expect_version_info "$REG_BUILD" "$major" "$minor" "$REG_CSD" $((sp >> 8)) $((sp & 255)) ;;
        2) expect_body 1 "Computername: ${ENVV[COMPUTERNAME]-?}" "Username: ${ENVV[USERNAME]-?}" \
               "System-Verzeichnis: ${ENVV[WINDIR]-?}\\system32" \
               "Windows-Verzeichnis: ${ENVV[WINDIR]-?}" \
               "Temp-Verzeichnis: ${ENVV[TEMP]-?}\\" ;;
        3) [ "${ENVV[PROCESSOR_ARCHITECTURE]-}" = AMD64 ] ||
               { echo "unexpected PROCESSOR_ARCHITECTURE '${ENVV[PROCESSOR_ARCHITECTURE]-}'"; return 1; }
           expect_body 2 "OemId: 9" "~^PageSize: (4096 \(0x1000\)|65536 \(0x10000\))$" \
               "~^Minimale Applikationsadresse: 0x[1-9a-f][0-9a-f]*$" \
               "~^Maximale Applikationsadresse: 0x[1-9a-f][0-9a-f]*$" \
               "Number of Processors: $n" "$AMD64_TYPE" \
               "ProcessorLevel: $level (0x$(printf %04x "$level"))" \
               "ProcessorRevision: $rev (0x$(printf %04x "$rev"))" \
               "$AMD64_ARCH" "Active Processormask: $mask" ;;
        4) expect_body 3 "Es wurde eine Maus gefunden." "$swap" "Mausbeschleunigung: $REG_SPEED" \
               "Treshold-Werte (x,y): $REG_T1, $REG_T2" ;;
        5) expect_body 4 "PATH = ${ENVV[PATH]-}" ;;
    esac
}

# report_case NAME WINEPATH: runs KavrinReport.exe (with WINEPATH prepended to PATH when not
# empty) and checks its exit code, its frame and its values.
report_case() {
    local name=$1 extra=$2 slug file rc k
    selected "$name" || return 0
    slug=$(slug "$name")
    file="$OUT/$slug.txt"
    # Both KavrinReport.exe and cmd see it; it goes with the function.
    [ -z "$extra" ] || local -x WINEPATH="$extra"

    wine_run 30 "$BIN/KavrinReport.exe" >"$file" 2>"$OUT/$slug.err"
    rc=$?
    if [ $rc -eq 0 ]; then pass "$name: exits 0"; else fail "$name: exits 0" "exit code $rc"; fi

    # Run in this shell: the frame check leaves the sections for the value check.
    if check_frame "$file" >"$OUT/$slug.why"; then
        pass "$name: frame"
    else
        fail "$name: frame" "$(head -c 400 "$OUT/$slug.why")"
        return
    fi

    gather_env
    gather_registry
    if [ -n "$extra" ] && [ "${ENVV[PATH]:0:${#extra}}" != "$extra" ]; then
        fail "$name: values" "cmd's PATH does not start with the value given"
        return
    fi
    # One result a section: each catches its own faults.
    for k in "${!TITLES[@]}"; do
        if check_values $((k + 1)) >"$OUT/$slug.why"; then
            pass "$name: values of ${TITLES[k]}"
        else
            fail "$name: values of ${TITLES[k]}" "$(head -c 400 "$OUT/$slug.why")"
        fi
    done
}
