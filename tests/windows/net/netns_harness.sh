#!/usr/bin/env bash
# Private network for LAN tests: COUNT network namespaces, each with one
# interface "eth0" on a bridge that lives in a hub namespace of its own, so
# nothing is created in, or attached to, the machine's own network. Runs
# COMMAND in the calling namespace with, for i = 1..COUNT,
#   NETNS_COUNT     the number of namespaces
#   NETNS_<i>       the name of namespace i (use: ip netns exec "$NETNS_1" ...)
#   NETNS_ADDR_<i>  its address (10.213.0.<i>/24, only inside the namespaces)
# and removes everything afterwards, also when COMMAND fails or the script
# is interrupted. Each namespace has a default route on its eth0, which the
# limited broadcast 255.255.255.255 needs.
#
# usage: netns_harness.sh COUNT COMMAND [ARGS...]
# exit:  COMMAND's exit code; 77 when it cannot run here (not root, no ip,
#        no namespaces); 124 when COMMAND outlives NETNS_TIMEOUT seconds (45).
set -euo pipefail

if [ $# -lt 2 ]; then
    echo "usage: $0 COUNT COMMAND [ARGS...]" >&2
    exit 2
fi
count=$1
shift
case "$count" in
'' | *[!0-9]*) echo "COUNT must be a number" >&2; exit 2 ;;
esac
if [ "$count" -lt 1 ] || [ "$count" -gt 8 ]; then
    echo "COUNT must be 1..8" >&2
    exit 2
fi

if [ "$EUID" != 0 ]; then
    echo "skip: network namespaces need root"
    exit 77
fi
if ! command -v ip >/dev/null 2>&1; then
    echo "skip: the ip tool (iproute2) is missing"
    exit 77
fi

# Unique per run, short enough for interface and namespace names.
tag="sdk$$r$RANDOM"
hub="${tag}h"
made=()

cleanup() {
    local ns pid
    for ns in "${made[@]}"; do
        # End what still runs inside our own namespaces, by process id.
        for pid in $(ip netns pids "$ns" 2>/dev/null); do
            kill -TERM "$pid" 2>/dev/null || true
        done
    done
    sleep 0.2
    for ns in "${made[@]}"; do
        for pid in $(ip netns pids "$ns" 2>/dev/null); do
            kill -KILL "$pid" 2>/dev/null || true
        done
        ip netns del "$ns" 2>/dev/null || true
    done
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# A machine whose kernel lacks namespaces, veth or bridges cannot run these
# tests at all: that is a skip, not a failure.
need() {
    if ! "$@" 2>/dev/null; then
        echo "skip: cannot set up the private network here ($*)"
        exit 77
    fi
}

need ip netns add "$hub"
made+=("$hub")
need ip -n "$hub" link set lo up
need ip -n "$hub" link add br0 type bridge
need ip -n "$hub" link set br0 up

export NETNS_COUNT="$count"
for i in $(seq 1 "$count"); do
    ns="${tag}n$i"
    need ip netns add "$ns"
    made+=("$ns")
    need ip -n "$ns" link set lo up
    # Both ends are born inside our namespaces: eth0 in the player's, its
    # peer in the hub, where it joins the bridge.
    need ip -n "$ns" link add eth0 type veth peer name "p$i" netns "$hub"
    need ip -n "$hub" link set "p$i" master br0
    need ip -n "$hub" link set "p$i" up
    need ip -n "$ns" addr add "10.213.0.$i/24" dev eth0
    need ip -n "$ns" link set eth0 up
    need ip -n "$ns" route add default dev eth0
    export "NETNS_$i=$ns"
    export "NETNS_ADDR_$i=10.213.0.$i"
done

set +e
timeout "${NETNS_TIMEOUT:-45}" "$@"
rc=$?
set -e
exit "$rc"
