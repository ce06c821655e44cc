#!/usr/bin/env bash
# What ./run test needs of the machine, asked before anything is built, each missing piece
# said in one sentence within seconds instead of a failure half an hour in.
#   preflight.sh [--downloads]   --downloads: packages are still to be installed
set -uo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=lib/debian-tree.sh
. scripts/lib/debian-tree.sh

fail() {
    printf 'preflight: %s\n' "$*" >&2
    exit 1
}

# What the run installs and builds with is Debian 12's.
# shellcheck disable=SC1091
os=$(. /etc/os-release 2>/dev/null && echo "${ID:-}:${VERSION_ID:-}:${PRETTY_NAME:-this system}")
case "$os" in
debian:12:*) ;;
*) fail "this is ${os##*:}: ./run test installs Debian 12's packages (its MinGW-w64, Wine 8, wixl) and builds its test trees from Debian 12, so it needs Debian 12 (bookworm)." ;;
esac

# 32-bit Wine takes over /usr/bin/wine and then every wine call fails, 64-bit included.
wine32_installed && fail "wine32 is installed: /usr/bin/wine then picks the 32-bit loader, which cannot run the 64-bit suite here (remove it: apt-get remove wine32:i386; the x86 suite brings a 32-bit Wine of its own)."

[ "$(id -u)" -eq 0 ] || fail "./run test must run as root: the 32-bit Windows suite runs in a Debian tree of its own, which needs chroot, mounts, a binfmt handler and its cache in $ZN_CACHE (run it with sudo)."

command -v unshare >/dev/null || fail "unshare (util-linux) is missing: the test trees run in namespaces of their own."
# shellcheck disable=SC2016
"${ZN_ISOLATED[@]}" sh -c 'd=$(mktemp -d) && mount -t tmpfs zn-preflight "$d" && umount "$d" && rmdir "$d"' >/dev/null 2>&1 ||
    fail "this machine does not let root make mount and PID namespaces and mount inside them (unshare failed), which the test trees need to keep their mounts and processes off the machine."

mode=$(scripts/wine-x86.sh mode) || fail "could not tell whether this kernel runs i386 programs."
case "$mode" in
emulated*)
    "${ZN_ISOLATED[@]}" bash -c '. scripts/lib/debian-tree.sh && binfmt_ready' ||
        fail "this kernel runs no i386 programs and has no binfmt_misc to run them through qemu-user, which the x86 suite needs."
    ;;
esac

mkdir -p "$ZN_CACHE" 2>/dev/null && [ -w "$ZN_CACHE" ] || fail "$ZN_CACHE cannot be written: the Wine test trees are cached there (about 5 GB)."

# The builds run their tests from build/, the trees their programs from the cache: neither may be
# on a file system mounted noexec.
for folder in build "$ZN_CACHE"; do
    mkdir -p "$folder"
    probe=$(mktemp "$folder/.zn-exec-XXXXXX") || fail "$folder cannot be written."
    printf '#!/bin/sh\nexit 0\n' >"$probe"
    chmod 755 "$probe"
    ran=0
    "$probe" 2>/dev/null && ran=1
    rm -f "$probe"
    [ "$ran" = 1 ] || fail "$(cd "$folder" && pwd) is on a file system mounted noexec: the tests and the test trees' programs run from there."
done

# Free space, as measured on a run: the builds and the suites' prefixes (each removed once its
# suite is done) peaked at 4.5 GB in build/, the two trees take 5.2 GB when they are to be made.
trees_current=1
scripts/wine-x86.sh current && scripts/wine-wow64.sh current || trees_current=0
for folder in . "$ZN_CACHE"; do
    dev=$(stat -c %d "$folder")
    need=0 takers=""
    if [ "$dev" = "$(stat -c %d .)" ]; then
        need=$((need + 6)) takers="the builds and the Windows suites' Wine prefixes"
    fi
    if [ "$trees_current" = 0 ] && [ "$dev" = "$(stat -c %d "$ZN_CACHE")" ]; then
        need=$((need + 6)) takers="${takers:+$takers and }the Wine test trees to be made"
    fi
    free_kb=$(df -Pk "$folder" | awk 'NR == 2 { print $4 }')
    [ "$free_kb" -ge $((need * 1024 * 1024)) ] ||
        fail "$(cd "$folder" && pwd) has $(awk -v k="$free_kb" 'BEGIN { printf "%.1f", k / 1048576 }') GB free: the run needs about $need GB there, for $takers."
done

if [ "${1:-}" = --downloads ] || [ "$trees_current" = 0 ]; then
    mirror=$(debian_mirror)
    probe=$(mktemp)
    trap 'rm -f "$probe"' EXIT
    timeout 20 /usr/lib/apt/apt-helper download-file "$mirror/dists/bookworm/Release.gpg" "$probe" >/dev/null 2>&1 ||
        fail "Debian's archive at $mirror cannot be reached: packages and the Wine test trees are downloaded from it."
fi
echo "preflight: root, namespaces, i386 programs $mode, the cache in $ZN_CACHE"
