#!/usr/bin/env bash
# ./run's process group, killed mid-run as a user or a CI runner kills it: SIGTERM to the process
# that was started, or SIGKILL to it; afterwards no process of the run is left (compared in the
# process table by a marker in the command lines of the run's children and grandchildren).
set -uo pipefail
lib=$(cd "$(dirname "$0")/../../scripts/lib" && pwd)/run_group.sh
work=$(mktemp -d)
trap 'pkill -KILL -f "zn-run-group-test-$$" 2>/dev/null; rm -rf "$work"' EXIT

# A stand-in for ./run: its own group, then a child that starts a grandchild, both long-lived.
cat >"$work/run" <<SCRIPT
#!/usr/bin/env bash
. "$lib"
in_own_group "\$0" "\$@"
bash -c 'exec -a zn-run-group-test-$$-grandchild sleep 300' &
bash -c 'exec -a zn-run-group-test-$$-child sleep 300' &
wait
SCRIPT
chmod +x "$work/run"

# As under ./run test: an outer run's mark in the environment must not stop this one grouping.
export ZN_RUN_PARENT=1

left() { pgrep -f "zn-run-group-test-$$" | wc -l; }
failures=0
for signal in TERM KILL; do
    "$work/run" &
    run=$!
    for _ in $(seq 50); do [ "$(left)" -ge 2 ] && break; sleep 0.1; done
    if [ "$(left)" -lt 2 ]; then
        echo "FAILED: the stand-in's children did not start"
        failures=$((failures + 1))
        continue
    fi
    kill "-$signal" "$run"
    for _ in $(seq 50); do [ "$(left)" -eq 0 ] && break; sleep 0.1; done
    if [ "$(left)" -eq 0 ]; then echo "ok: SIG$signal to the run ends all it started"; else
        echo "FAILED: after SIG$signal, $(left) of its processes are left"
        pkill -KILL -f "zn-run-group-test-$$"
        failures=$((failures + 1))
    fi
    wait "$run" 2>/dev/null
done
[ "$failures" -eq 0 ]
