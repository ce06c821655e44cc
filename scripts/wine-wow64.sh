#!/usr/bin/env bash
# A 64-bit Windows with 32-bit support (WoW64), as almost every school machine is: an amd64
# Debian 12 tree with 64-bit Wine and 32-bit Wine beside it (wine, wine64, wine32:i386) and an
# initialised win64 prefix, where a 32-bit program sees the registry's 32-bit view, SysWOW64 and
# Program Files (x86). Its 32-bit programs run by the kernel where it runs i386 programs itself
# and by qemu-user through the same binfmt handler as the i386 tree's where it does not. The
# system itself never gets 32-bit packages.
#
#   wine-wow64.sh make | run CMD... | exec PROGRAM [ARGS...] | mode | current | clean
#
# as lib/wine-tree.sh describes; cached beside the i386 tree (ZN_X86_CACHE). Needs root.
set -euo pipefail

# shellcheck source=lib/wine-tree.sh
. "$(dirname "$(readlink -f "$0")")/lib/wine-tree.sh"

TREE_NAME="64-bit Wine tree with 32-bit support"
ROOT=$ZN_CACHE/wine-wow64
TEMPLATE=/root/.wine64
TREE_WINEARCH=win64
RECIPE="suite=bookworm arch=amd64 foreign=i386 variant=minbase
qemu=qemu-user from bookworm-backports
packages=wine wine64 wine32:i386 libwine:i386
prefix=win64 wineboot -i, mscoree and mshtml off"

# Inside the namespaces: the tree (amd64, so made natively), its two Wines and an initialised
# prefix, which each suite copies instead of paying for wineboot again.
make_tree() {
    command -v debootstrap >/dev/null || { say "debootstrap is not installed"; return 1; }
    debootstrap --arch=amd64 --variant=minbase bookworm "$TREE" "$(debian_mirror)" >/dev/null
    no_services_in_tree "$TREE"
    rm -f "$TREE"/etc/apt/sources.list.d/*
    tree_sources "$(debian_mirror)" "$(security_mirror)" >"$TREE/etc/apt/sources.list"
    mount_tree
    in_tree dpkg --add-architecture i386
    tree_apt_update "$TREE/etc/apt/sources.list" in_tree apt-get update -qq
    in_tree env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        wine wine64 wine32:i386 libwine:i386 >/dev/null
    in_tree apt-get clean
    WINEPREFIX=$TEMPLATE in_tree wineboot -i >/dev/null 2>&1 </dev/null
}

tree_main "$@"
