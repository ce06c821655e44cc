#!/usr/bin/env bash
# The check that wine32 is installed, against copies of this machine's dpkg database: with i386
# added and wine32 known to dpkg by name only ("unknown ok not-installed", as wherever i386 is a
# foreign architecture and an installed package names it) it is not installed; with wine32
# installed it is; without i386 it cannot be.
set -euo pipefail
lib=$(cd "$(dirname "$0")/../../scripts/lib" && pwd)/debian-tree.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# database NAME FOREIGN STATUS: a copy of the machine's status file, with the foreign
# architectures given and a wine32 stanza of that status (none: no stanza).
database() {
    local dir=$work/$1
    mkdir -p "$dir/updates" "$dir/info"
    cp /var/lib/dpkg/status "$dir/status"
    printf 'amd64\n%s' "$2" >"$dir/arch"
    [ -z "$3" ] || printf '\nPackage: wine32\nStatus: %s\nPriority: optional\nSection: otherosfs\nArchitecture: i386\nVersion: 8.0~repack-4\nDescription: Windows API implementation - 32-bit binary loader\n' "$3" >>"$dir/status"
    echo "$dir"
}
installed() { ZN_DPKG_ADMINDIR=$1 bash -c '. "$1" && wine32_installed' sh "$lib"; }

failures=0
expect() {
    local what=$1 want=$2 dir=$3 got=no
    installed "$dir" && got=yes
    if [ "$got" = "$want" ]; then echo "ok: $what"; else
        echo "FAILED: $what: installed=$got, expected $want"
        failures=$((failures + 1))
    fi
}
expect "i386 added, wine32 known by name only" no "$(database known i386$'\n' 'unknown ok not-installed')"
expect "i386 added, wine32 removed (config files gone)" no "$(database removed i386$'\n' 'deinstall ok config-files')"
expect "i386 added, wine32 installed" yes "$(database installed i386$'\n' 'install ok installed')"
expect "no i386, no wine32" no "$(database plain '' '')"
[ "$failures" -eq 0 ]
