# Sourced by ./run: the command runs in a process group of its own, under a parent that stays the
# process a user or a CI runner signals. SIGINT, SIGTERM or SIGHUP to that parent end the whole
# group (the builds, the suites, their Wine servers and displays); should the parent be killed
# outright (SIGKILL), a watcher in the group ends the group as soon as the parent is gone. What
# must outlive the group sets up a session of its own (the test trees' handler watcher does).

# in_own_group "$0" "$@": returns in the group's first process; the parent never returns.
in_own_group() {
    # The mark is for this process alone: a run started inside a run (the test of this file under
    # ./run test) inherits the outer one's and must still make a group of its own.
    local parent=${ZN_RUN_PARENT:-}
    unset ZN_RUN_PARENT
    if [ -n "$parent" ] && [ "$parent" = "$PPID" ]; then
        # The group's first process: the watcher goes with the group when the run ends.
        (
            while kill -0 "$parent" 2>/dev/null; do sleep 1; done
            kill -KILL -- "-$$" 2>/dev/null
        ) </dev/null >/dev/null 2>&1 &
        ZN_RUN_WATCHER=$!
        trap 'kill "$ZN_RUN_WATCHER" 2>/dev/null' EXIT
        return 0
    fi
    # A background job of a shell without job control shares its process group, so setsid makes
    # it the leader of a new one in place: its PID is the group's.
    ZN_RUN_PARENT=$$ setsid "$@" &
    local group=$!
    local signal
    for signal in INT TERM HUP; do
        # shellcheck disable=SC2064
        trap "kill -$signal -- -$group 2>/dev/null; wait $group; exit \$((128 + \$(kill -l $signal)))" "$signal"
    done
    local rc=0
    wait "$group" || rc=$?
    exit "$rc"
}
