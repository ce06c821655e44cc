# Sourced by the scripts that keep a Debian tree of their own for the Windows tests
# (wine-x86.sh): the machine's Debian mirror whatever its apt layout, the tree's own sources
# list, the private namespaces in which every step that mounts, chroots or starts the tree's
# programs runs, and the binfmt handler for i386 programs, the one thing only the machine can
# hold.

# The trees' cache, outside any checkout.
ZN_CACHE=${ZN_CACHE:-${ZN_X86_CACHE:-/var/cache/znimportphotos}}
# One lock for the whole machine, whatever cache a run uses: the handler is the machine's.
ZN_TREES_LOCK=/run/lock/znimportphotos-trees.lock
ZN_BINFMT=/proc/sys/fs/binfmt_misc
ZN_HANDLER=$ZN_BINFMT/zn-qemu-i386
ZN_KEYRING=/usr/share/keyrings/debian-archive-keyring.gpg

tree_say() { printf '== %s\n' "$*" >&2; }

# The first http(s) or ftp URI that the machine's apt sources give for SUITE or its alias ALIAS
# (stable for bookworm), from one-line files (sources.list, sources.list.d/*.list) and deb822
# files (sources.list.d/*.sources); DEFAULT where none names it.
host_mirror() {
    local suite=$1 alias=$2 default=$3 uri=""
    local lists=() deb822=() f
    local etc=${ZN_APT_ETC:-/etc/apt}
    for f in "$etc"/sources.list "$etc"/sources.list.d/*.list; do [ -f "$f" ] && lists+=("$f"); done
    for f in "$etc"/sources.list.d/*.sources; do [ -f "$f" ] && deb822+=("$f"); done
    if [ ${#deb822[@]} -gt 0 ]; then
        uri=$(sed 's/^[ \t]*$//' "${deb822[@]}" | awk -v suite="$suite" -v alias="$alias" '
            BEGIN { RS = "" }
            {
                uri = ""; deb = 0; named = 0; on = 1
                n = split($0, line, "\n")
                for (i = 1; i <= n; i++) {
                    l = line[i]
                    if (l ~ /^[ \t]*#/) continue
                    key = tolower(l)
                    if (key ~ /^types:/) deb = (l ~ /[: \t]deb([ \t]|$)/)
                    if (key ~ /^enabled:[ \t]*no/) on = 0
                    if (key ~ /^uris:/) { sub(/^[^:]*:[ \t]*/, "", l); split(l, u, /[ \t]+/); uri = u[1] }
                    if (key ~ /^suites:/) {
                        sub(/^[^:]*:/, "", l); m = split(l, s, /[ \t]+/)
                        for (j = 1; j <= m; j++) if (s[j] == suite || s[j] == alias) named = 1
                    }
                }
                if (deb && named && on && uri ~ /^(https?|ftp):\/\//) { print uri; exit }
            }')
    fi
    if [ -z "$uri" ] && [ ${#lists[@]} -gt 0 ]; then
        uri=$(awk -v suite="$suite" -v alias="$alias" '
            $1 != "deb" { next }
            {
                i = 2
                if ($i ~ /^\[/) { while (i <= NF && $i !~ /\]$/) i++; i++ }
                if (($(i + 1) == suite || $(i + 1) == alias) && $i ~ /^(https?|ftp):\/\//) { print $i; exit }
            }' "${lists[@]}")
    fi
    uri=${uri%/}
    printf '%s\n' "${uri:-$default}"
}

debian_mirror() { host_mirror bookworm stable http://deb.debian.org/debian; }
security_mirror() { host_mirror bookworm-security stable-security http://deb.debian.org/debian-security; }

# The tree's own sources list: Debian 12 with its updates and security fixes, signed by the
# archive's keyring, whatever the machine's own files look like.
tree_sources() {
    local mirror=$1 security=$2
    printf 'deb [signed-by=%s] %s bookworm main\n' "$ZN_KEYRING" "$mirror"
    printf 'deb [signed-by=%s] %s bookworm-updates main\n' "$ZN_KEYRING" "$mirror"
    printf 'deb [signed-by=%s] %s bookworm-security main\n' "$ZN_KEYRING" "$security"
}

# COMMAND... (an apt-get update for the apt state that SOURCES feeds), tried three times: a mirror
# caught mid-sync serves an index that does not match its Release file ("File has unexpected
# size"), which a later try usually finds mended. Where one stays broken, the suites that failed
# are left out of SOURCES, except its first line's (the base suite), and the update is run once
# more: a test tree without a suite's updates is sound, one with that suite's index for some
# architectures and not others is not.
tree_apt_update() {
    local sources=$1 log try failed suite base
    shift
    log=$(mktemp)
    for try in 1 2 3; do
        if "$@" >"$log" 2>&1; then
            rm -f "$log"
            return 0
        fi
        cat "$log" >&2
        if [ "$try" -lt 3 ]; then
            tree_say "apt-get update failed (try $try of 3): trying again in $((try * 30)) s"
            sleep $((try * 30))
        fi
    done
    failed=$(sed -n 's|^E: Failed to fetch .*/dists/\([^/]*\)/.*|\1|p' "$log" | sort -u)
    rm -f "$log"
    base=$(awk '{ for (i = 2; i < NF; i++) if ($i ~ /^(https?|ftp):/) { print $(i + 1); exit } }' "$sources")
    [ -n "$failed" ] || return 1
    for suite in $failed; do
        if [ "$suite" = "$base" ] || ! grep -q " $suite main\$" "$sources"; then
            tree_say "the mirror's $suite index stays broken"
            return 1
        fi
    done
    for suite in $failed; do
        tree_say "the mirror's $suite index stays broken: made without $suite"
        sed -i "/ $suite main\$/d" "$sources"
        # A tree made without it is made again next time, when the mirror may be whole again.
        [ -z "${ZN_TREE_LEFT_OUT:-}" ] || echo "$suite" >>"$ZN_TREE_LEFT_OUT"
    done
    "$@"
}

# Runs "$@" in new mount and PID namespaces: mounts made inside stay inside (private
# propagation, so nothing reaches the machine's own mounts) and vanish with it, and every
# process started inside is killed when it ends, whatever way, SIGKILL included.
ZN_ISOLATED=(unshare --mount --propagation private --pid --fork --kill-child --mount-proc)
isolated() { "${ZN_ISOLATED[@]}" "$@"; }

# binfmt_misc mounted where handlers are registered; inside isolated() the mount is the
# namespace's own, the handlers behind it the machine's.
binfmt_ready() {
    [ -d "$ZN_BINFMT" ] || return 1
    [ -e "$ZN_BINFMT/register" ] || mount -t binfmt_misc binfmt_misc "$ZN_BINFMT" 2>/dev/null
    [ -w "$ZN_BINFMT/register" ]
}

# Whether some enabled handler takes i386 executables (ours or the machine's).
i386_handler_registered() {
    local entry
    for entry in "$ZN_BINFMT"/*; do
        case "${entry##*/}" in register | status) continue ;; esac
        [ -f "$entry" ] || continue
        grep -qx enabled "$entry" && grep -q '^magic 7f454c46010101.*02000300' "$entry" && return 0
    done
    return 1
}

# Whether the kernel itself runs i386 programs: a 93-byte static i386 program that only exits,
# run while no handler could take it instead. Inside isolated() only (it may mount binfmt_misc).
kernel_runs_i386() {
    if binfmt_ready && i386_handler_registered; then return 1; fi
    mkdir -p "$ZN_CACHE"
    local probe rc=0
    # In the cache, not /tmp, which may be mounted noexec.
    probe=$(mktemp -p "$ZN_CACHE" i386-probe.XXXXXX)
    printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000' >"$probe"
    printf '\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000' >>"$probe"
    printf '\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000' >>"$probe"
    printf '\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010' >>"$probe"
    printf '\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000' >>"$probe"
    printf '\270\001\000\000\000\061\333\315\200' >>"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null || rc=$?
    rm -f "$probe"
    # A handler registered meanwhile may have run it instead of the kernel.
    [ "$rc" -eq 0 ] && ! i386_handler_registered
}

# The handler that runs i386 executables with QEMU; F opens the interpreter at registration,
# so it serves inside a chroot too. Registered by name, replacing a stale one of ours.
register_i386_handler() {
    local qemu=$1
    binfmt_ready || { tree_say "binfmt_misc is not available in this kernel"; return 1; }
    [ -e "$ZN_HANDLER" ] && echo -1 >"$ZN_HANDLER"
    printf '%s' ":${ZN_HANDLER##*/}:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:$qemu:F" \
        >"$ZN_BINFMT/register"
}

remove_i386_handler() {
    binfmt_ready || return 0
    if [ -e "$ZN_HANDLER" ]; then echo -1 >"$ZN_HANDLER"; fi
}

# The handler outlives a run killed with SIGKILL (no trap runs): a watcher in a session of its
# own waits for the trees' lock, which the run and everything in its namespaces hold until the
# last of them is gone, then removes it (SCRIPT's `unguarded-clean`, which takes no lock).
guard_i386_handler() {
    local script=$1
    setsid -f flock "$ZN_TREES_LOCK" "$script" unguarded-clean </dev/null >/dev/null 2>&1 9>&-
}

# Removes a tree's folder; refuses if anything is mounted beneath it (never walks into
# another file system, such as a bind mount of a checkout).
remove_tree_folder() {
    local dir=$1
    [ -e "$dir" ] || return 0
    if awk -v d="$dir" '$5 == d || index($5, d "/") == 1 { found = 1 } END { exit !found }' /proc/self/mountinfo; then
        tree_say "something is still mounted under $dir: not removing it"
        return 1
    fi
    rm -rf --one-file-system "$dir"
}

# The hash of what makes a tree: the functions named and the recipe's text.
recipe_hash() {
    local text=$1
    shift
    { declare -f "$@"; printf '%s\n' "$text"; } | sha256sum | cut -d' ' -f1
}

# Whether wine32 is installed on this machine: it takes over /usr/bin/wine, and every Wine call
# then fails. Asked of the package's status, since dpkg also knows it by name only ("unknown ok
# not-installed") wherever i386 is a foreign architecture and an installed package names it.
# ZN_DPKG_ADMINDIR names another dpkg database (for the test).
wine32_installed() {
    local admin=${ZN_DPKG_ADMINDIR:-/var/lib/dpkg}
    dpkg --admindir="$admin" --print-foreign-architectures 2>/dev/null | grep -qx i386 || return 1
    dpkg-query --admindir="$admin" -W -f='${Status}\n' wine32:i386 2>/dev/null | grep -qx 'install ok installed'
}

# In a tree just made: packages installed into it start no services (their maintainer scripts
# would start them in the namespaces, and they are not needed there).
no_services_in_tree() {
    printf '#!/bin/sh\n# No service starts in a test tree.\nexit 101\n' >"$1/usr/sbin/policy-rc.d"
    chmod 755 "$1/usr/sbin/policy-rc.d"
}
