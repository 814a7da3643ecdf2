#!/bin/bash
# The lobby (netfault_test, inside namespace A) and a zrtserver (started by the test inside
# namespace B) on the two ends of a veth pair, 10.202.0.1 and 10.202.0.2. For the lossy case
# both ends of the link get `tc netem loss 30% delay 300ms`; on a kernel without netem the veth
# pair is replaced by lossy_wire, which loses and delays the same in user space. The other
# cases cut or silence the link from inside the test.
#
# Usage: netfault_netns_test.sh PATH_TO_NETFAULT_TEST PATH_TO_LOSSY_WIRE lossy|stopped|cut
# Exit: the test's own; 77 skipped (not root, no namespaces or veth; for lossy, neither netem
# nor a TAP device).
set -u
source "$(dirname "$0")/netns_pair.sh"

test_bin=${1:?usage: netfault_netns_test.sh PATH_TO_NETFAULT_TEST PATH_TO_LOSSY_WIRE CASE}
wire=${2:?usage: netfault_netns_test.sh PATH_TO_NETFAULT_TEST PATH_TO_LOSSY_WIRE CASE}
case ${3:-} in
    lossy) function=lossyLinkFailsOnlyWithItsMessages ;;
    stopped) function=stoppedServerIsNoticed ;;
    cut) function=cutLinkIsNoticed ;;
    *) fail "unknown case ${3:-}" ;;
esac
[ -x "$test_bin" ] || fail "no test at $test_bin"
netns_pair_up zrt-nf 10.202.0
wire_pid=""
netns_cleanup_extra() {
    [ -n "$wire_pid" ] && kill "$wire_pid" 2>/dev/null && wait "$wire_pid" 2>/dev/null
}

if [ "$3" = lossy ]; then
    if tc -n "$NS_A" qdisc add dev "$DEV_A" root netem loss 30% delay 300ms 2>/dev/null &&
        tc -n "$NS_B" qdisc add dev "$DEV_B" root netem loss 30% delay 300ms 2>/dev/null; then
        echo "link: veth pair with tc netem loss 30% delay 300ms on both ends"
    else
        [ -x "$wire" ] || skip "no tc netem in this kernel and no lossy_wire at $wire"
        ip -n "$NS_A" link delete "$DEV_A" || fail "cannot remove the veth pair"
        coproc WIRE { exec "$wire" "$NS_A" "$DEV_A" "$NS_B" "$DEV_B" 30 300 2>&1; }
        wire_pid=$WIRE_PID
        read -r -t 10 ready <&"${WIRE[0]}"
        [ "${ready:-}" = ready ] || skip "no TAP devices for lossy_wire (${ready:-no answer})"
        netns_pair_address
        echo "link: lossy_wire (no netem in this kernel), loss 30% delay 300ms both ways"
    fi
fi

ZRT_NETFAULT_SERVER_NS=$NS_B ZRT_NETFAULT_SERVER_ADDRESS=$ADDR_B ZRT_NETFAULT_SERVER_DEV=$DEV_B \
    ip netns exec "$NS_A" "$test_bin" "$function"
