# Sourced by ./run and the Windows suites' script: run with sudo, the builds and the suites run as
# the one who ran it, in their checkout; root is kept for what needs it (installing packages,
# making and entering the test trees).

# Whether as_user runs commands as another user than this process's.
as_other_user() {
    [ "$(id -u)" -eq 0 ] && [ -n "${SUDO_UID:-}" ] && [ "$SUDO_UID" != 0 ]
}

# as_user CMD...: CMD as the invoking user when run with sudo by someone else, else as it is.
as_user() {
    if as_other_user; then
        local home
        home=$(getent passwd "$SUDO_UID" | cut -d: -f6)
        setpriv --reuid="$SUDO_UID" --regid="${SUDO_GID:-$SUDO_UID}" --init-groups \
            env HOME="${home:-/nonexistent}" USER="${SUDO_USER:-}" LOGNAME="${SUDO_USER:-}" "$@"
    else
        "$@"
    fi
}

# give_to_user PATH...: what root made there belongs to the invoking user again.
give_to_user() {
    if as_other_user; then
        chown -R "$SUDO_UID:${SUDO_GID:-$SUDO_UID}" "$@" 2>/dev/null || true
    fi
}
