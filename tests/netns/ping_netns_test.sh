#!/bin/bash
# Two lobbies on two hosts pinging each other: two network namespaces joined by a veth pair
# (10.201.0.1/24 and 10.201.0.2/24, which exist only inside them). One runs `ping_peer answer`,
# the other `ping_peer probe 10.201.0.1`; the probe must come back as "<seconds> sec".
#
# Usage: ping_netns_test.sh PATH_TO_PING_PEER
# Exit: 0 passed, 1 failed, 77 skipped (not root, no `ip netns`, namespaces or veth not allowed).
set -u
source "$(dirname "$0")/netns_pair.sh"

peer=${1:?usage: ping_netns_test.sh PATH_TO_PING_PEER}
answer_pid=""
work=""

netns_cleanup_extra() {
    if [ -n "$answer_pid" ]; then
        kill "$answer_pid" 2>/dev/null
        for _ in $(seq 50); do
            kill -0 "$answer_pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$answer_pid" 2>/dev/null
        wait "$answer_pid" 2>/dev/null
    fi
    [ -n "$work" ] && rm -rf "$work"
}

[ -x "$peer" ] || fail "no ping_peer at $peer"
netns_pair_up zrt-ping 10.201.0
work=$(mktemp -d) || fail "no temporary directory"

# `ip netns exec` replaces itself with the program, so $! is ping_peer's own id.
ip netns exec "$NS_A" "$peer" answer 30 >"$work/answer.out" 2>&1 &
answer_pid=$!
ready=0
for _ in $(seq 100); do
    if grep -q '^answering' "$work/answer.out" 2>/dev/null; then
        ready=1
        break
    fi
    kill -0 "$answer_pid" 2>/dev/null || break
    sleep 0.1
done
if [ "$ready" -ne 1 ]; then
    cat "$work/answer.out"
    fail "the answering peer did not start"
fi

timeout 20 ip netns exec "$NS_B" "$peer" probe "$ADDR_A" >"$work/probe.out" 2>"$work/probe.err"
rc=$?
echo "answer ($NS_A, $ADDR_A): $(tr '\n' ' ' <"$work/answer.out")"
echo "probe  ($NS_B, $ADDR_B -> $ADDR_A): exit $rc, $(tr '\n' ' ' <"$work/probe.err")"
result=$(tail -n 1 "$work/probe.out")
echo "result: $result"

[ "$rc" -eq 0 ] || fail "probe exited with $rc"
[[ "$result" == *" sec" ]] || fail "the probe did not report a time"
echo "PASS"
