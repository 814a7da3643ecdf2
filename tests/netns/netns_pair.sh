# Sourced by the namespace tests: two network namespaces joined by a veth pair, as two hosts
# on one wire. The pair is created straight inside the namespaces and never appears on the
# host; both namespaces are deleted on the way out, whatever happens.
#
#   netns_pair_up NAME SUBNET   creates $NS_A and $NS_B (NAME-a-PID, NAME-b-PID) with
#                               $DEV_A = SUBNET.1/24 ($ADDR_A) and $DEV_B = SUBNET.2/24 ($ADDR_B),
#                               loopback up in both
#   netns_pair_address          addresses and up for $DEV_A and $DEV_B
#   skip TEXT / fail TEXT       exit 77 (skipped) / 1 (failed)
# A script that starts processes of its own defines netns_cleanup_extra to end them; it runs
# before the namespaces go. Anything still running inside them is killed.

netns_created=()

skip() {
    echo "SKIP: $*"
    exit 77
}
fail() {
    echo "FAIL: $*"
    exit 1
}

netns_pair_down() {
    if declare -F netns_cleanup_extra >/dev/null; then netns_cleanup_extra; fi
    for ns in "${netns_created[@]}"; do
        # Whatever still runs in the namespace (a test that died left its server) goes first.
        for pid in $(ip netns pids "$ns" 2>/dev/null); do kill -9 "$pid" 2>/dev/null; done
        ip netns delete "$ns" 2>/dev/null || echo "warning: could not delete namespace $ns"
    done
}
trap netns_pair_down EXIT
trap 'exit 1' INT TERM HUP

netns_pair_up() {
    local name=$1 subnet=$2
    [ "$(id -u)" -eq 0 ] || skip "needs root"
    command -v ip >/dev/null 2>&1 || skip "no ip command (iproute2)"
    ip netns list >/dev/null 2>&1 || skip "ip netns is not available"
    NS_A="$name-a-$$"
    NS_B="$name-b-$$"
    DEV_A="${name:0:6}a$$"
    DEV_B="${name:0:6}b$$"
    ADDR_A="$subnet.1"
    ADDR_B="$subnet.2"
    for ns in "$NS_A" "$NS_B"; do
        ip netns add "$ns" 2>/dev/null || skip "cannot create network namespace $ns"
        netns_created+=("$ns")
        ip netns exec "$ns" true 2>/dev/null || skip "cannot enter network namespace $ns"
    done
    ip link add "$DEV_A" netns "$NS_A" type veth peer name "$DEV_B" netns "$NS_B" 2>/dev/null ||
        skip "cannot create a veth pair"
    ip -n "$NS_A" link set lo up && ip -n "$NS_B" link set lo up || fail "no loopback"
    netns_pair_address
}

# Gives $DEV_A and $DEV_B their addresses and brings them up (again, for a link that replaced
# the veth pair under the same names).
netns_pair_address() {
    ip -n "$NS_A" addr add "$ADDR_A/24" dev "$DEV_A" &&
        ip -n "$NS_B" addr add "$ADDR_B/24" dev "$DEV_B" &&
        ip -n "$NS_A" link set "$DEV_A" up &&
        ip -n "$NS_B" link set "$DEV_B" up || fail "cannot configure the link"
}
