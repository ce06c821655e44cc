#!/usr/bin/env bash
# What ./run runs as the invoking user is that user's: as root with SUDO_UID naming another user
# (nobody here), a file a command makes belongs to that user; else to whoever runs it.
set -euo pipefail
lib=$(cd "$(dirname "$0")/../../scripts/lib" && pwd)/run_user.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 777 "$work"
want=$(id -u)
if [ "$want" -eq 0 ]; then
    want=$(id -u nobody)
    export SUDO_UID=$want SUDO_GID=$(id -g nobody) SUDO_USER=nobody
fi
. "$lib"
as_user touch "$work/made"
got=$(stat -c %u "$work/made")
[ "$got" = "$want" ] || { echo "FAILED: the file belongs to $got, expected $want"; exit 1; }
echo "ok: a file made as the invoking user ($want) is theirs"
