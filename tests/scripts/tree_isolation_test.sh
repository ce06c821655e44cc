#!/usr/bin/env bash
# The x86 tree leaves the machine as it found it, on a machine whose root mount is shared (as
# systemd makes it): in throwaway mount and PID namespaces with a shared root (and a fresh /proc,
# so that nothing here touches the machine's), `wine-x86.sh run`, once
# ending normally and once killed with SIGKILL while a program of the tree runs, leaves the mount
# table exactly as it was, no binfmt handler of ours and no process of the tree.
#   tree_isolation_test.sh    (root; the tree must be made: wine-x86.sh make)
set -uo pipefail
[ "$(id -u)" -eq 0 ] || { echo "skipped: mounts and binfmt_misc need root"; exit 77; }
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
script=$scripts/wine-x86.sh
# shellcheck source=../../scripts/lib/debian-tree.sh
. "$scripts/lib/debian-tree.sh"
cache=$ZN_CACHE
tree=$cache/wine-i386/tree
[ -z "${ZN_TREE:-}" ] || { echo "runs outside wine-x86.sh run only (ctest -L machine)"; exit 1; }
"$script" current || { echo "the tree is not made: run $script make first"; exit 1; }

if [ "${1:-}" != inside ]; then
    exec "${ZN_ISOLATED[@]}" "$0" inside
fi
mount --make-rshared /
# binfmt_misc mounted here for the whole test, as a machine that mounts it at boot has it: the
# handlers then outlive the namespaces that register them (where no mount of it stays, newer
# kernels drop them with the last one).
mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

handler_registered() { [ -e /proc/sys/fs/binfmt_misc/zn-qemu-i386 ]; }
# Processes whose root is the tree or that run its emulator.
tree_processes() {
    local p root exe
    for p in /proc/[0-9]*; do
        root=$(readlink "$p/root" 2>/dev/null) || continue
        exe=$(readlink "$p/exe" 2>/dev/null) || exe=""
        case "$root $exe" in "$tree"* | *"$cache/wine-i386/qemu/"*) echo "${p#/proc/} $root $exe" ;; esac
    done
}
# Waits up to SECONDS for CHECK to hold.
settles() {
    local seconds=$1 i
    shift
    for ((i = 0; i < seconds * 4; i++)); do
        "$@" && return 0
        sleep 0.25
    done
    "$@"
}
no_handler() { ! handler_registered; }
no_tree_processes() { [ -z "$(tree_processes)" ]; }
check_left_clean() {
    local how=$1
    local after
    after=$(cat /proc/self/mountinfo)
    if [ "$before" = "$after" ]; then echo "ok: $how: the mount table is as it was"; else
        fail "$how: the mount table changed"
        diff <(echo "$before") <(echo "$after")
    fi
    if settles 30 no_handler; then echo "ok: $how: no handler registered"; else fail "$how: the handler is still registered"; fi
    if settles 30 no_tree_processes; then echo "ok: $how: no process of the tree"; else
        fail "$how: processes of the tree still run"
        tree_processes
    fi
}

before=$(cat /proc/self/mountinfo)
echo "mode: $("$script" mode)"
if "$script" run true; then echo "ok: run true ended with 0"; else fail "run true failed"; fi
check_left_clean "after a run"

# A run killed while the tree's own i386 program runs in it.
"$script" run sh -c 'chroot "$ZN_TREE" /bin/sleep 300' &
run=$!
has_tree_process() { [ -n "$(tree_processes)" ]; }
if settles 60 has_tree_process; then
    echo "ok: a program of the tree runs: $(tree_processes | head -1)"
else
    fail "no program of the tree started"
fi
kill -KILL "$run"
wait "$run" 2>/dev/null
check_left_clean "after SIGKILL"
[ "$failures" -eq 0 ]
