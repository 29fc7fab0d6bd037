#!/usr/bin/env bash
# Shows that a signed download holds what a build of the same commit made, and nothing else
# but the signatures: each program's signature, attached to the build's program, must give
# the downloaded program byte for byte; every other file must be the build's.
# Usage: tools/verify-release.sh Kavrin-<version>-win64.zip BUILD_DIR   (needs osslsigncode, unzip)
# Prints one line per file and exits 0 when every file matches.
set -u
zip=${1:?usage: $0 ZIP BUILD_DIR}
build=${2:?usage: $0 ZIP BUILD_DIR}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

status=0
names=$(zipinfo -1 "$zip" | grep -v '/$') || { echo "cannot read $zip"; exit 1; }
while read -r entry; do
    name=${entry##*/}
    how="as built"
    rm -f "$work/released" "$work/signature" "$work/rebuilt"
    unzip -p "$zip" "$entry" >"$work/released"
    if [[ "$name" == *.exe ]] &&
        osslsigncode extract-signature -in "$work/released" -out "$work/signature" >/dev/null 2>&1
    then
        # attach-signature also judges the chain of trust (osslsigncode verify answers that);
        # with no CA given it says "Failed" after writing its output, which is all we compare.
        how="with the release's signature"
        osslsigncode attach-signature -sigin "$work/signature" -CAfile /dev/null \
            -in "$build/$name" -out "$work/rebuilt" >/dev/null 2>&1
    else
        cp "$build/$name" "$work/rebuilt" 2>/dev/null
    fi
    if cmp -s "$work/released" "$work/rebuilt"; then
        echo "same: $entry is $build/$name $how"
    else
        echo "DIFFERENT: $entry is not $build/$name $how"
        status=1
    fi
done <<<"$names"
exit $status
