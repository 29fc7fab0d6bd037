#!/usr/bin/env bash
# Runs the README's test command, or COMMAND, as root in a fresh chroot of a Debian release
# with nothing installed beyond debootstrap's minimal base: what a bare machine does with the
# project. The chroot gets a clone of the committed tree (or a copy, outside a git checkout).
#
# Usage: tools/fresh-debian.sh RELEASE [COMMAND]     e.g. bookworm, trixie; COMMAND ./run.sh
#
# The log is kept as build/fresh-RELEASE.log; the chroot stays under KAVRIN_FRESH_DIR
# (default /var/tmp/kavrin-fresh) until the next run of the release, for a look inside. The
# release's pristine base is made once there and copied for every run. KAVRIN_DEBIAN_MIRROR
# names another mirror for debootstrap.
set -u
release=${1:?usage: tools/fresh-debian.sh RELEASE [COMMAND]}
shift
command=${*:-./test.sh}
top=$(cd "$(dirname "$0")/.." && pwd)
cache=${KAVRIN_FRESH_DIR:-/var/tmp/kavrin-fresh}
base="$cache/base-$release"
root="$cache/run-$release"
log="$top/build/fresh-$release.log"

[ "$(id -u)" -eq 0 ] || { echo "run as root: debootstrap and chroot need it"; exit 1; }
if ! command -v debootstrap >/dev/null; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap \
        >/dev/null || { echo "debootstrap could not be installed"; exit 1; }
fi

mkdir -p "$cache" "$top/build"
if [ ! -f "$base/.complete" ]; then
    echo "making the $release base in $base"
    rm -rf "$base"
    # shellcheck disable=SC2086 # no mirror given: debootstrap's own default
    debootstrap --variant=minbase "$release" "$base" ${KAVRIN_DEBIAN_MIRROR:-} \
        >"$cache/debootstrap-$release.log" 2>&1 ||
        { echo "debootstrap failed; see $cache/debootstrap-$release.log"; exit 1; }
    touch "$base/.complete"
fi

unmount() { umount -R "$root/dev" "$root/proc" "$root/sys" 2>/dev/null; }
unmount
rm -rf "$root"
cp -a "$base" "$root"
trap unmount EXIT

if git -C "$top" rev-parse --git-dir >/dev/null 2>&1; then
    git clone -q "$top" "$root/root/kavrin"
else
    mkdir -p "$root/root/kavrin" && tar -C "$top" --exclude=./build -c . | tar -C "$root/root/kavrin" -x
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc" && mount -t sysfs sysfs "$root/sys" &&
    mount --rbind /dev "$root/dev" && mount --make-rslave "$root/dev" ||
    { echo "could not mount /proc, /sys and /dev in $root"; exit 1; }

echo "$release: $command (log: $log)"
started=$SECONDS
chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    TERM=dumb /bin/bash -c "cd /root/kavrin && $command" </dev/null >"$log" 2>&1
rc=$?
tail -n 12 "$log"
echo "$release: exit code $rc after $(((SECONDS - started) / 60)) min $(((SECONDS - started) % 60)) s"
exit $rc
