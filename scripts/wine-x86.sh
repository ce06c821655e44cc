#!/usr/bin/env bash
# The 32-bit Wine that runs the x86 build on this 64-bit-only machine: an i386 Debian tree with
# 32-bit Wine, its programs run by qemu-user through a binfmt handler for i386 only. The system
# itself never gets 32-bit packages (wine32 there would break the 64-bit Wine of the x64 suite).
#
#   wine-x86.sh make         make the tree if it is missing or its recipe changed (cached)
#   wine-x86.sh run CMD...   run CMD with the tree entered (mounts and handler in place, and
#                            ZN_WINE_PREFIX_TEMPLATE naming its initialised prefix); everything
#                            is undone afterwards
#   wine-x86.sh exec PROGRAM [ARGS...]
#                            inside a run: PROGRAM (wine, wineserver, wineboot) in the tree,
#                            in the current folder, with the Wine and test variables passed on
#   wine-x86.sh clean        stop every Wine process of the tree, undo mounts and the handler
#
# The cache lives outside the checkout (ZN_X86_CACHE, default /var/cache/znimportphotos) and is
# made again when RECIPE below changes. Needs root (chroot, mounts, binfmt_misc).
set -euo pipefail

CACHE=${ZN_X86_CACHE:-/var/cache/znimportphotos}
ROOT=$CACHE/wine-i386
TREE=$ROOT/tree
QEMU=$ROOT/qemu/usr/bin/qemu-i386
STAMP=$ROOT/recipe
LOCK=$CACHE/wine-i386.lock
HANDLER=/proc/sys/fs/binfmt_misc/zn-qemu-i386
SELF=$(readlink -f "${BASH_SOURCE[0]}")
CHECKOUT=$(dirname "$(dirname "$SELF")")

MIRROR=$(sed -n 's/^URIs: *\([^ ]*debian\)$/\1/p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -1)
MIRROR=${MIRROR:-http://deb.debian.org/debian}

# Everything that decides what the tree holds; a change here makes the cache again.
# Debian 12's own qemu-user-static (7.2) is far too slow for Wine; the backports build is not.
RECIPE="suite=bookworm arch=i386 variant=minbase
qemu=qemu-user from bookworm-backports
packages=wine wine32
prefix=win32 wineboot -i, mscoree and mshtml off"

say() { printf '== %s\n' "$*" >&2; }

# A clean environment for programs in the tree: nothing of the caller's but what Wine and the
# tests need.
tree_env() {
    local vars=(PATH=/usr/bin:/bin HOME=/root LANG=C.UTF-8 WINEARCH=win32 WINEDEBUG=-all
                "WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}")
    local name
    for name in WINEPREFIX DISPLAY XAUTHORITY; do
        [ -n "${!name:-}" ] && vars+=("$name=${!name}")
    done
    while IFS='=' read -r name _; do
        case "$name" in ZN_*) vars+=("$name=${!name}") ;; esac
    done < <(env)
    printf '%s\0' "${vars[@]}"
}

in_tree() {
    local vars=()
    mapfile -d '' vars < <(tree_env)
    chroot "$TREE" /usr/bin/env -i "${vars[@]}" "$@"
}

register_handler() {
    [ -d /proc/sys/fs/binfmt_misc ] || { say "no binfmt_misc in this kernel"; exit 1; }
    [ -e /proc/sys/fs/binfmt_misc/register ] || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
    [ -e "$HANDLER" ] && echo -1 >"$HANDLER"
    # i386 ELF executables only; F opens the interpreter now, so it also serves inside the tree.
    printf '%s' ":zn-qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:$QEMU:F" \
        >/proc/sys/fs/binfmt_misc/register
}

unregister_handler() {
    if [ -e "$HANDLER" ]; then echo -1 >"$HANDLER"; fi
}

mounted() { mountpoint -q "$1"; }

mount_tree() {
    mounted "$TREE/proc" || mount -t proc proc "$TREE/proc"
    mounted "$TREE/sys" || mount --rbind /sys "$TREE/sys"
    mounted "$TREE/dev" || mount --rbind /dev "$TREE/dev"
    # /tmp for the X display's socket and authority; the checkout at its own path, so that
    # every path a test names means the same inside and outside.
    mounted "$TREE/tmp" || mount --bind /tmp "$TREE/tmp"
    mkdir -p "$TREE$CHECKOUT"
    mounted "$TREE$CHECKOUT" || mount --bind "$CHECKOUT" "$TREE$CHECKOUT"
}

unmount_tree() {
    local m
    for m in "$TREE$CHECKOUT" "$TREE/tmp" "$TREE/dev" "$TREE/sys" "$TREE/proc"; do
        if mounted "$m"; then umount -R "$m" 2>/dev/null || umount -R -l "$m"; fi
    done
}

stop_wine() {
    [ -x "$TREE/usr/bin/wineserver" ] || return 0
    mounted "$TREE/proc" || return 0
    local prefix
    for prefix in /root/.wine32 ${WINEPREFIX:-}; do
        [ -d "$TREE$prefix" ] || continue
        WINEPREFIX=$prefix in_tree wineserver -k >/dev/null 2>&1 </dev/null || true
    done
    # Whatever still runs under the emulator belongs to the tree: end it.
    pkill -KILL -f "^$QEMU" 2>/dev/null || true
}

clean() {
    stop_wine
    unmount_tree
    unregister_handler
}

fetch_qemu() {
    local apt=$ROOT/apt
    rm -rf "$ROOT/qemu" "$apt"
    mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$ROOT/qemu"
    echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $MIRROR bookworm-backports main" >"$apt/sources.list"
    local opts=(-o "Dir::Etc::sourcelist=$apt/sources.list" -o Dir::Etc::sourceparts=/nonexistent
                -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o Debug::NoLocking=1)
    apt-get "${opts[@]}" update -qq
    (cd "$apt" && apt-get "${opts[@]}" download -qq qemu-user/bookworm-backports)
    dpkg -x "$apt"/qemu-user_*.deb "$ROOT/qemu"
    rm -rf "$apt"
    [ -x "$QEMU" ] || { say "qemu-user from backports has no qemu-i386"; exit 1; }
}

make_tree() {
    command -v debootstrap >/dev/null || { say "debootstrap is not installed"; exit 1; }
    say "making the 32-bit Wine tree in $ROOT (about ten minutes, once)"
    clean
    rm -rf "$ROOT"
    mkdir -p "$ROOT"
    fetch_qemu
    register_handler
    debootstrap --arch=i386 --foreign --variant=minbase bookworm "$TREE" "$MIRROR" >/dev/null
    chroot "$TREE" /debootstrap/debootstrap --second-stage >/dev/null
    cp /etc/apt/sources.list.d/debian.sources "$TREE/etc/apt/sources.list.d/"
    rm -f "$TREE/etc/apt/sources.list"
    mount_tree
    in_tree apt-get update -qq
    in_tree env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends wine wine32 >/dev/null
    in_tree apt-get clean
    # An initialised prefix, copied by each suite instead of paying for wineboot again.
    WINEPREFIX=/root/.wine32 in_tree wineboot -i >/dev/null 2>&1 </dev/null
    WINEPREFIX=/root/.wine32 in_tree wineserver -w >/dev/null 2>&1 </dev/null
    clean
    printf '%s\n' "$RECIPE" >"$STAMP"
    say "32-bit Wine tree ready"
}

cmd_make() {
    mkdir -p "$CACHE"
    exec 9>"$LOCK"
    flock 9
    if [ -f "$STAMP" ] && [ "$(cat "$STAMP")" = "$RECIPE" ] && [ -x "$QEMU" ] && [ -x "$TREE/usr/bin/wine" ]; then
        say "32-bit Wine tree reused from $ROOT"
        return 0
    fi
    make_tree
}

cmd_run() {
    cmd_make
    # The lock stays held (descriptor 9) while the tree is entered, so runs never overlap.
    trap clean EXIT
    trap 'exit 130' INT TERM
    register_handler
    mount_tree
    export ZN_WINE_PREFIX_TEMPLATE=$TREE/root/.wine32
    # Without the lock's descriptor: a Wine server that outlived the run must not hold it.
    "$@" 9>&-
}

cmd_exec() {
    [ -e "$HANDLER" ] && mounted "$TREE$CHECKOUT" || { say "exec works only inside wine-x86.sh run"; exit 2; }
    local program=$1
    shift
    in_tree /bin/sh -c 'cd "$1" && shift && exec "$@"' sh "$PWD" "$program" "$@"
}

case "${1:-}" in
make) cmd_make ;;
run) shift; cmd_run "$@" ;;
exec) shift; cmd_exec "$@" ;;
clean) clean ;;
*) echo "usage: $0 make | run CMD... | exec PROGRAM [ARGS...] | clean" >&2; exit 2 ;;
esac
