#!/bin/bash
# The lobby (netfault_test, inside namespace A) and a zrtserver (started by the test inside
# namespace B) on the two ends of a veth pair, 10.202.0.1 and 10.202.0.2. For the lossy case
# both ends of the link get `tc netem loss 30% delay 300ms`; the test then cuts or silences
# the link itself.
#
# Usage: netfault_netns_test.sh PATH_TO_NETFAULT_TEST lossy|stopped|cut
# Exit: the test's own; 77 skipped (not root, no namespaces or veth, no netem for lossy).
set -u
source "$(dirname "$0")/netns_pair.sh"

test_bin=${1:?usage: netfault_netns_test.sh PATH_TO_NETFAULT_TEST lossy|stopped|cut}
case ${2:-} in
    lossy) function=lossyLinkKeepsTheLobby ;;
    stopped) function=stoppedServerIsNoticed ;;
    cut) function=cutLinkIsNoticed ;;
    *) fail "unknown case ${2:-}" ;;
esac
[ -x "$test_bin" ] || fail "no test at $test_bin"
netns_pair_up zrt-nf 10.202.0

if [ "$2" = lossy ]; then
    command -v tc >/dev/null 2>&1 || skip "no tc command (iproute2)"
    tc -n "$NS_A" qdisc add dev "$DEV_A" root netem loss 30% delay 300ms 2>/dev/null &&
        tc -n "$NS_B" qdisc add dev "$DEV_B" root netem loss 30% delay 300ms 2>/dev/null ||
        skip "tc netem is not available (no sch_netem in this kernel)"
fi

ZRT_NETFAULT_SERVER_NS=$NS_B ZRT_NETFAULT_SERVER_ADDRESS=$ADDR_B ZRT_NETFAULT_SERVER_DEV=$DEV_B \
    ip netns exec "$NS_A" "$test_bin" "$function"
