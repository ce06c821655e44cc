# The commands of a Wine test tree, sourced by the script that owns one (wine-x86.sh,
# wine-wow64.sh), which then sets what differs between trees:
#   TREE_NAME      how messages name it ("32-bit Wine tree")
#   ROOT           its cache folder (under ZN_CACHE); the tree is ROOT/tree, qemu-user's files
#                  ROOT/qemu
#   TEMPLATE       the initialised prefix inside the tree
#   TREE_WINEARCH  WINEARCH for programs in the tree
#   RECIPE         the text of what the tree holds
#   make_tree      the function that makes it, inside the namespaces
# and then calls tree_main "$@".
#
#   make         make the tree if it is missing or its recipe changed (cached)
#   run CMD...   run CMD with the tree entered (its mounts, the handler if needed,
#                ZN_WINE_PREFIX_TEMPLATE naming its initialised prefix)
#   exec PROGRAM [ARGS...]
#                inside a run: PROGRAM (wine, wineserver, wineboot) in the tree, in the current
#                folder, with the Wine and test variables passed on
#   mode         how i386 programs run here: "native i386" or "emulated, qemu X"
#   current      exit 0 when the cached tree is up to date
#   clean        remove the binfmt handler when no run is going on (all else vanishes with
#                each run)
#
# `make` and `run` work in mount and PID namespaces of their own: the tree's mounts never reach
# the machine's mount table and every process of the tree ends with them, however they end
# (Ctrl-C, SIGTERM or SIGHUP to the namespaces' first process, SIGKILL to the script's, which
# becomes the namespaces' parent). The handler, the one thing only the machine can hold, is
# removed when the run ends, by a watcher if the run is killed. Runs of every tree on one
# machine take one lock, so they never overlap.

SELF=$(readlink -f "$0")
CHECKOUT=$(dirname "$(dirname "$SELF")")
# shellcheck source=debian-tree.sh
. "$(dirname "${BASH_SOURCE[0]}")/debian-tree.sh"

say() { tree_say "$@"; }

# A clean environment for programs in the tree: nothing of the caller's but what Wine and the
# tests need.
tree_env() {
    local vars=(PATH=/usr/bin:/bin HOME=/root LANG=C.UTF-8 "WINEARCH=$TREE_WINEARCH" WINEDEBUG=-all
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

# Inside the namespaces: what the tree needs of the machine. Never unmounted by hand: the
# mounts end with the namespace.
mount_tree() {
    mount -t proc proc "$TREE/proc"
    mount --rbind /sys "$TREE/sys"
    mount --rbind /dev "$TREE/dev"
    # /tmp for the X display's socket and authority; the checkout at its own path, so that
    # every path a test names means the same inside and outside.
    mount --bind /tmp "$TREE/tmp"
    mkdir -p "$TREE$CHECKOUT"
    mount --bind "$CHECKOUT" "$TREE$CHECKOUT"
}

# Inside the namespaces, whose first process this shell is: such a process ignores signals it
# has no handler for, so it takes these to end, and with it everything in the namespaces.
end_on_signals() {
    trap 'exit 130' INT
    trap 'exit 143' TERM
    trap 'exit 129' HUP
}

# Inside the namespaces: i386 programs run, by the kernel or through the handler.
enable_i386() {
    if kernel_runs_i386; then
        return 0
    fi
    [ -x "$QEMU" ] || { say "no qemu-i386 at $QEMU"; return 1; }
    trap remove_i386_handler EXIT
    register_i386_handler "$QEMU"
}

# qemu-user from bookworm-backports into ROOT/qemu, with an apt configuration of its own: the
# machine's apt state stays as it was. Debian 12's own qemu-user-static (7.2) is far too slow
# for Wine; the backports build is not.
fetch_qemu() {
    local apt=$ROOT/apt
    rm -rf "$ROOT/qemu" "$apt"
    mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$ROOT/qemu"
    echo "deb [signed-by=$ZN_KEYRING] $(debian_mirror) bookworm-backports main" >"$apt/sources.list"
    local opts=(-o "Dir::Etc::sourcelist=$apt/sources.list" -o Dir::Etc::sourceparts=/nonexistent
                -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o Debug::NoLocking=1)
    tree_apt_update "$apt/sources.list" apt-get "${opts[@]}" update -qq
    (cd "$apt" && apt-get "${opts[@]}" download -qq qemu-user/bookworm-backports)
    dpkg -x "$apt"/qemu-user_*.deb "$ROOT/qemu"
    rm -rf "$apt"
    [ -x "$QEMU" ] || { say "qemu-user from backports has no qemu-i386"; return 1; }
}

qemu_version() { "$QEMU" --version | sed -n '1s/^qemu-i386 version \([^ ]*\).*/qemu \1/p'; }

# What makes the tree: the functions that build it and the recipe's text.
recipe() {
    recipe_hash "$RECIPE" make_tree fetch_qemu mount_tree in_tree tree_env tree_sources tree_apt_update \
        no_services_in_tree
}

current() {
    [ -f "$STAMP" ] && [ "$(cat "$STAMP")" = "$(recipe)" ] && [ -x "$QEMU" ] && [ -x "$TREE/usr/bin/wine" ] \
        && [ -f "$TREE$TEMPLATE/system.reg" ] && ! left_out_before_this_run
}

# Whether a suite was left out of the tree by a run before this one (ZN_RUN_STARTED, seconds
# since the epoch; unset: any run is before this one). Within the run that made it, the tree is
# used as it is.
left_out_before_this_run() {
    [ -s "$LEFT_OUT" ] && [ "$(stat -c %Y "$LEFT_OUT")" -lt "${ZN_RUN_STARTED:-$(date +%s)}" ]
}

# Whether the tree must be made; says so when it is reused, and when it is made again because a
# suite was left out of it last time.
stale() {
    if left_out_before_this_run; then
        say "$TREE_NAME was made without $(tr '\n' ' ' <"$LEFT_OUT")last time: making it again"
        return 0
    fi
    if current; then
        say "$TREE_NAME reused from $ROOT: $(tr '\n' ' ' <"$VERSIONS")"
        return 1
    fi
}

# Takes the trees' lock on descriptor 9 (held by everything started from here, until the last
# of it ends) and starts the handler's watcher.
take_lock() {
    if [ -n "${ZN_TREE:-}" ]; then
        say "already inside the run of $ZN_TREE: a run cannot start another"
        exit 2
    fi
    mkdir -p "$ZN_CACHE" "$(dirname "$ZN_TREES_LOCK")"
    exec 9>"$ZN_TREES_LOCK"
    if ! flock -n 9; then
        say "another run of a test tree holds $ZN_TREES_LOCK: waiting for it"
        flock 9
    fi
    guard_i386_handler "$SELF"
}

# This process becomes the namespaces' parent: ending it ends everything in them.
cmd_make() {
    take_lock
    if stale; then exec "${ZN_ISOLATED[@]}" "$SELF" inside-make; fi
}

cmd_run() {
    take_lock
    exec "${ZN_ISOLATED[@]}" "$SELF" inside-run "$@"
}

cmd_inside_make() {
    end_on_signals
    say "making the $TREE_NAME in $ROOT"
    remove_tree_folder "$ROOT"
    mkdir -p "$ROOT"
    export ZN_TREE_LEFT_OUT=$LEFT_OUT
    fetch_qemu
    enable_i386
    make_tree
    # The server saves the prefix's registry as it exits: wait for it.
    WINEPREFIX=$TEMPLATE in_tree wineserver -w >/dev/null 2>&1 </dev/null
    {
        qemu_version
        in_tree dpkg-query -W -f='${Package}:${Architecture} ${Version}\n' wine libwine
    } >"$VERSIONS"
    recipe >"$STAMP"
    say "$TREE_NAME ready: $(tr '\n' ' ' <"$VERSIONS")"
}

cmd_inside_run() {
    end_on_signals
    # Made in namespaces nested in these, so that it ends with them too.
    if stale; then isolated "$SELF" inside-make; fi
    enable_i386
    mount_tree
    export ZN_WINE_PREFIX_TEMPLATE=$TREE$TEMPLATE ZN_TREE=$TREE
    # Without the lock's descriptor: only this shell holds it, and ends everything as it exits.
    # In the background, so that a signal's trap runs at once, not when the command has ended.
    "$@" 9>&- &
    wait $!
}

cmd_exec() {
    [ "${ZN_TREE:-}" = "$TREE" ] && mountpoint -q "$TREE$CHECKOUT" || { say "exec works only inside $SELF run"; exit 2; }
    local program=$1
    shift
    in_tree /bin/sh -c 'cd "$1" && shift && exec "$@"' sh "$PWD" "$program" "$@"
}

# How this machine runs the tree's i386 programs (asked in namespaces of its own, where a look
# at binfmt_misc mounts nothing of the machine's).
cmd_mode() {
    if isolated "$SELF" inside-probe; then
        echo "native i386"
    elif [ -x "$QEMU" ]; then
        echo "emulated, $(qemu_version)"
    else
        echo "emulated, qemu-user from bookworm-backports"
    fi
}

tree_main() {
    TREE=$ROOT/tree
    STAMP=$ROOT/recipe
    VERSIONS=$ROOT/versions
    # The suites a mirror caught mid-sync kept out of the tree, one per line.
    LEFT_OUT=$ROOT/left-out
    # The qemu-i386 that the handler names where the kernel runs no i386 programs.
    QEMU=$ROOT/qemu/usr/bin/qemu-i386
    case "${1:-}" in
    make) cmd_make ;;
    run) shift; cmd_run "$@" ;;
    exec) shift; cmd_exec "$@" ;;
    mode) cmd_mode ;;
    current) current ;;
    clean)
        exec 9>"$ZN_TREES_LOCK"
        flock -n 9 || { say "a run of a test tree is going on: it removes the handler as it ends"; exit 1; }
        isolated "$SELF" inside-clean
        ;;
    unguarded-clean) isolated "$SELF" inside-clean ;;
    inside-make) cmd_inside_make ;;
    inside-run) shift; cmd_inside_run "$@" ;;
    inside-probe) kernel_runs_i386 ;;
    inside-clean) remove_i386_handler ;;
    *) echo "usage: $SELF make | run CMD... | exec PROGRAM [ARGS...] | mode | current | clean" >&2; exit 2 ;;
    esac
}
