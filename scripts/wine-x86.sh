#!/usr/bin/env bash
# The 32-bit Wine that runs the x86 build: an i386 Debian 12 tree with 32-bit Wine and an
# initialised win32 prefix, its programs run by the kernel where it runs i386 programs itself and
# by qemu-user through a binfmt handler for i386 only where it does not. The system itself never
# gets 32-bit packages (wine32 there would break the 64-bit Wine of the x64 suite).
#
#   wine-x86.sh make | run CMD... | exec PROGRAM [ARGS...] | mode | current | clean
#
# as lib/wine-tree.sh describes. The cache lives outside the checkout (ZN_X86_CACHE, default
# /var/cache/znimportphotos) and is made again when anything that makes the tree changes.
# Needs root.
set -euo pipefail

# shellcheck source=lib/wine-tree.sh
. "$(dirname "$(readlink -f "$0")")/lib/wine-tree.sh"

TREE_NAME="32-bit Wine tree"
ROOT=$ZN_CACHE/wine-i386
TEMPLATE=/root/.wine32
TREE_WINEARCH=win32
RECIPE="suite=bookworm arch=i386 variant=minbase
qemu=qemu-user from bookworm-backports
packages=wine wine32
prefix=win32 wineboot -i, mscoree and mshtml off"

# Inside the namespaces, i386 programs running: the tree, its Wine and an initialised prefix,
# which each suite copies instead of paying for wineboot again.
make_tree() {
    command -v debootstrap >/dev/null || { say "debootstrap is not installed"; return 1; }
    debootstrap --arch=i386 --foreign --variant=minbase bookworm "$TREE" "$(debian_mirror)" >/dev/null
    chroot "$TREE" /debootstrap/debootstrap --second-stage >/dev/null
    no_services_in_tree "$TREE"
    rm -f "$TREE"/etc/apt/sources.list.d/*
    tree_sources "$(debian_mirror)" "$(security_mirror)" >"$TREE/etc/apt/sources.list"
    mount_tree
    tree_apt_update "$TREE/etc/apt/sources.list" in_tree apt-get update -qq
    in_tree env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends wine wine32 >/dev/null
    in_tree apt-get clean
    WINEPREFIX=$TEMPLATE in_tree wineboot -i >/dev/null 2>&1 </dev/null
}

tree_main "$@"
