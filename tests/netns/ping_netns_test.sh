#!/bin/bash
# Two lobbies on two hosts pinging each other: two network namespaces joined by a veth pair
# (10.201.0.1/24 and 10.201.0.2/24, which exist only inside them). One runs `ping_peer answer`,
# the other `ping_peer probe 10.201.0.1`; the probe must come back as "<seconds> sec".
# The namespaces (and with them the veth pair) are always deleted on the way out.
#
# Usage: ping_netns_test.sh PATH_TO_PING_PEER
# Exit: 0 passed, 1 failed, 77 skipped (not root, no `ip netns`, namespaces or veth not allowed).
set -u

peer=${1:?usage: ping_netns_test.sh PATH_TO_PING_PEER}
ns_a="zrt-ping-a-$$"
ns_b="zrt-ping-b-$$"
dev_a="zpa$$"
dev_b="zpb$$"
addr_a=10.201.0.1
addr_b=10.201.0.2
created=()
answer_pid=""
work=""

skip() {
    echo "SKIP: $*"
    exit 77
}
fail() {
    echo "FAIL: $*"
    exit 1
}

cleanup() {
    if [ -n "$answer_pid" ]; then
        kill "$answer_pid" 2>/dev/null
        for _ in $(seq 50); do
            kill -0 "$answer_pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$answer_pid" 2>/dev/null
        wait "$answer_pid" 2>/dev/null
    fi
    for ns in "${created[@]}"; do
        ip netns delete "$ns" 2>/dev/null || echo "warning: could not delete namespace $ns"
    done
    [ -n "$work" ] && rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

[ -x "$peer" ] || fail "no ping_peer at $peer"
[ "$(id -u)" -eq 0 ] || skip "needs root"
command -v ip >/dev/null 2>&1 || skip "no ip command (iproute2)"
ip netns list >/dev/null 2>&1 || skip "ip netns is not available"

for ns in "$ns_a" "$ns_b"; do
    ip netns add "$ns" 2>/dev/null || skip "cannot create network namespace $ns"
    created+=("$ns")
    ip netns exec "$ns" true 2>/dev/null || skip "cannot enter network namespace $ns"
done
# The pair is created straight inside the two namespaces; it never appears on the host.
ip link add "$dev_a" netns "$ns_a" type veth peer name "$dev_b" netns "$ns_b" 2>/dev/null ||
    skip "cannot create a veth pair"

ip -n "$ns_a" link set lo up &&
    ip -n "$ns_b" link set lo up &&
    ip -n "$ns_a" addr add "$addr_a/24" dev "$dev_a" &&
    ip -n "$ns_b" addr add "$addr_b/24" dev "$dev_b" &&
    ip -n "$ns_a" link set "$dev_a" up &&
    ip -n "$ns_b" link set "$dev_b" up || fail "cannot configure the veth pair"

work=$(mktemp -d) || fail "no temporary directory"

# `ip netns exec` replaces itself with the program, so $! is ping_peer's own id.
ip netns exec "$ns_a" "$peer" answer 30 >"$work/answer.out" 2>&1 &
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

timeout 20 ip netns exec "$ns_b" "$peer" probe "$addr_a" >"$work/probe.out" 2>"$work/probe.err"
rc=$?
echo "answer ($ns_a, $addr_a): $(tr '\n' ' ' <"$work/answer.out")"
echo "probe  ($ns_b, $addr_b -> $addr_a): exit $rc, $(tr '\n' ' ' <"$work/probe.err")"
result=$(tail -n 1 "$work/probe.out")
echo "result: $result"

[ "$rc" -eq 0 ] || fail "probe exited with $rc"
[[ "$result" == *" sec" ]] || fail "the probe did not report a time"
echo "PASS"
