#!/usr/bin/env bash
# The test trees' mirror and sources list, whichever apt layout the machine has: only the
# one-line /etc/apt/sources.list that Debian's installer writes, only the deb822
# sources.list.d/debian.sources of Debian's cloud and container images (keys in any case, suites
# by name or alias, a blank line with spaces between stanzas), or neither. Each is read from a
# folder of its own as the machine's apt folder (ZN_APT_ETC): no privilege needed.
set -euo pipefail
lib=$(cd "$(dirname "$0")/../../scripts/lib" && pwd)/debian-tree.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/installer/sources.list.d" "$work/image/sources.list.d" "$work/neither/sources.list.d"

cat >"$work/installer/sources.list" <<'EOF'
# deb cdrom:[Debian GNU/Linux 12.8.0 _Bookworm_ - Official amd64 DVD Binary-1]/ bookworm contrib main
deb cdrom:[Debian GNU/Linux 12.8.0 _Bookworm_ - Official amd64 DVD Binary-1]/ bookworm contrib main
deb-src http://ftp.de.debian.org/debian/ bookworm main
deb [arch=amd64 signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://ftp.de.debian.org/debian/ bookworm main non-free-firmware
deb http://security.debian.org/debian-security bookworm-security main non-free-firmware
deb http://ftp.de.debian.org/debian/ bookworm-updates main non-free-firmware
EOF
cat >"$work/image/sources.list.d/debian.sources" <<'EOF'
Types: deb-src
URIs: http://source.example.org/debian
Suites: bookworm
Components: main

Types: deb
# http://snapshot.debian.org/archive/debian/20250520T000000Z
URIs: http://mirror.example.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
  
types: deb
uris: http://mirror.example.org/debian-security
suites: stable-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF

failures=0
check() {
    local layout=$1 mirror=$2 security=$3 got want
    got=$(ZN_APT_ETC=$work/$layout bash -c '
        set -euo pipefail
        ZN_CACHE=/nonexistent
        . "$2"
        debian_mirror
        security_mirror
        tree_sources "$(debian_mirror)" "$(security_mirror)"' sh "$work/$layout" "$lib")
    want="$mirror
$security
deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror bookworm main
deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror bookworm-updates main
deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $security bookworm-security main"
    if [ "$got" = "$want" ]; then
        echo "ok: $layout"
    else
        echo "FAILED: $layout"
        diff <(echo "$want") <(echo "$got") || true
        failures=$((failures + 1))
    fi
}

check installer http://ftp.de.debian.org/debian http://security.debian.org/debian-security
check image http://mirror.example.org/debian http://mirror.example.org/debian-security
check neither http://deb.debian.org/debian http://deb.debian.org/debian-security
[ "$failures" -eq 0 ]
