#!/usr/bin/env bash
# The host behind a NAT router, the guest outside it, in network namespaces made here: a router
# namespace masquerades with nftables and runs miniupnpd, the host's namespace lies behind it,
# the guest's outside. The real host asks the router to forward its port, prints what a friend
# types and writes it on its waiting screen; the guest joins exactly that and the game starts;
# once the game has ended, the forwarding is gone from the router's rules. Once with NAT-PMP
# alone (Escape on the guest ends both), once with UPnP-IGD alone (the guest vanishes; the
# forwarding goes before the host's message box, which a signal then ends), and
# once with a router that answers nothing (the host says so and names its own address; Escape
# ends it).
# Prints how long asking took. Skipped (77) where namespaces cannot be made.
# Usage: play_through_router_xvfb.sh APP_DIR   (the directory holding zorvane and its files)
set -uo pipefail

app_dir=${1:?usage: play_through_router_xvfb.sh APP_DIR}
source "$(dirname "$0")/../support/game_xvfb_session.sh"

for tool in nft miniupnpd; do
  command -v "$tool" >/dev/null || fail_now "$tool is not installed"
done
# Names of our own, so that runs side by side do not meet.
home=zr$$-home
router=zr$$-router
outside=zr$$-outside
namespaces=()
make_namespace() { ip netns add "$1" 2>/dev/null && namespaces+=("$1"); }
if [ "$(id -u)" != 0 ] || ! command -v ip >/dev/null || ! make_namespace "$home"; then
  skip "network namespaces cannot be made here (needs root and ip netns)"
  finish
fi
if ! make_namespace "$router" || ! make_namespace "$outside"; then
  fail_now "a second namespace could not be made"
fi
# The namespaces go after the programs in them have ended.
trap 'end_checks; for n in "${namespaces[@]}"; do ip netns del "$n"; done' EXIT

# (What runs in the background is started with ip netns exec itself, which becomes the program,
# so that its process id is the program's.)
in_router() { ip netns exec "$router" "$@"; }

# Home 192.168.77.0/24 behind the router; outside, a public-looking network, since miniupnpd
# refuses to forward for a private or reserved outside address. Nothing leaves the namespaces.
router_outside=11.0.0.1
ip -n "$router" link add inside type veth peer name uplink netns "$home"
ip -n "$router" link add outside type veth peer name uplink netns "$outside"
ip -n "$router" addr add 192.168.77.1/24 dev inside
ip -n "$router" addr add "$router_outside/24" dev outside
ip -n "$home" addr add 192.168.77.2/24 dev uplink
ip -n "$outside" addr add 11.0.0.2/24 dev uplink
for n in "${namespaces[@]}"; do
  ip -n "$n" link set lo up
  for dev in inside outside uplink; do ip -n "$n" link set "$dev" up 2>/dev/null; done
done
ip -n "$home" route add default via 192.168.77.1
in_router sysctl -qw net.ipv4.ip_forward=1
# A home router: from outside, only what miniupnpd lets through, to where it forwards it.
in_router nft -f - <<'NFT' || fail_now "nftables refused the router's rules"
table inet filter {
  chain miniupnpd {}
  chain prerouting_miniupnpd {}
  chain postrouting_miniupnpd {}
  chain forward {
    type filter hook forward priority 0; policy drop;
    ct state established,related accept
    iifname "inside" accept
    jump miniupnpd
  }
  chain prerouting {
    type nat hook prerouting priority -100; policy accept;
    jump prerouting_miniupnpd
  }
  chain postrouting {
    type nat hook postrouting priority 100; policy accept;
    jump postrouting_miniupnpd
    oifname "outside" masquerade
  }
}
NFT

prepare_two_games

# $1: yes or no for each of UPnP-IGD and NAT-PMP.
start_miniupnpd() {
  cat >"$work/miniupnpd.conf" <<CONF
ext_ifname=outside
listening_ip=inside
http_port=0
enable_upnp=$1
enable_natpmp=$2
secure_mode=yes
system_uptime=yes
upnp_table_name=filter
upnp_nat_table_name=filter
uuid=3c2a8d2e-7d5b-4c8e-9b4e-5a1f0c6d7e21
allow 1024-65535 192.168.77.0/24 1024-65535
deny 0-65535 0.0.0.0/0 0-65535
CONF
  ip netns exec "$router" miniupnpd -f "$work/miniupnpd.conf" -P "$work/miniupnpd.pid" -d \
    >"$work/miniupnpd.log" 2>&1 &
  miniupnpd_pid=$!
  wait_until 5 miniupnpd_listens "$1" "$2" ||
    fail_now "miniupnpd did not start: $(cat "$work/miniupnpd.log")"
}
miniupnpd_listens() {
  local sockets
  sockets=$(in_router ss -lnu)
  { [ "$1" = no ] || grep -q ':1900 ' <<<"$sockets"; } &&
    { [ "$2" = no ] || grep -q ':5351 ' <<<"$sockets"; }
}
stop_miniupnpd() {
  kill -TERM "$miniupnpd_pid"
  wait_until 5 ended "$miniupnpd_pid" || kill -KILL "$miniupnpd_pid"
  wait "$miniupnpd_pid" 2>/dev/null
}
# (Matched from a variable: grep -q at the end of a pipe may end nft with SIGPIPE, which
# pipefail takes for a failure.)
rules() { in_router nft list chain inet filter prerouting_miniupnpd 2>&1; }
forwarded() { grep -q "dport $port" <<<"$(rules)"; }
not_forwarded() {
  local listed
  listed=$(rules)
  grep -q '^table' <<<"$listed" && ! grep -q "dport $port" <<<"$listed"
}

start_host() {
  DISPLAY=$host_display ip netns exec "$home" "$app/zorvane" --host "$port" \
    >"$work/host.stdout" 2>"$work/host.stderr" &
  host_pid=$!
  host_started=$(now_micros)
}
# Waits up to $1 seconds for the host to end; sets host_status.
wait_for_host() {
  wait_for_job "$1" "$host_pid"
  host_status=$ended_status
}
# Passes when the host printed a line matching $1 within 5 s; says how long that took.
host_said() { grep -hs "$1" "$work/host.stdout" "$work/host.stderr"; }
host_prints() {
  if wait_until 5 host_said "$1" >/dev/null; then
    pass "$2, after $((($(now_micros) - host_started) / 1000)) ms: $(host_said "$1")"
  else
    fail "$2: nothing within 5 s"
    cat "$work/host.stdout" "$work/host.stderr"
  fi
}
# Yellow writing on black under the waiting sign's stripes.
notice_shown() {
  DISPLAY=$host_display import -window root "$work/$1.png"
  convert "$work/$1.png" -crop 600x120+0+24 +repage -fx '(r>0.9 && g>0.9 && b<0.1)' \
    -format '%[fx:mean>0.01 && mean<0.5]' info: | grep -q 1
}

# Escape on the guest ends both games with status 0; then the router forwards nothing.
end_by_escape() {
  DISPLAY=$guest_display xdotool mousemove 640 480 key Escape
  wait_for_host 10
  wait_for_game 10
  if [ "$host_status" = 0 ] && [ "$game_status" = 0 ]; then
    pass "$1: Escape on the guest ended both games with status 0"
  else
    fail "$1: after Escape, the host ended with status $host_status, the guest $game_status"
    cat "$work/host.stderr" "$work/stderr" "$work/miniupnpd.log"
  fi
  if wait_until 5 not_forwarded; then pass "$1: the forwarding is gone"; else
    fail "$1: the forwarding is left behind"
    rules
  fi
}

# The guest vanishes: the host says the connection is lost, and while its message box is up the
# forwarding is already gone; a signal then ends it at once with the status of the box (1).
end_by_losing_the_guest() {
  kill -KILL "$game_pid"
  wait_for_game 5
  if DISPLAY=$host_display wait_until 10 message_box; then
    pass "$1: the host lost the guest: $(host_said "connection lost")"
  else
    fail "$1: the host shows no message box"
  fi
  if wait_until 5 not_forwarded && ! ended "$host_pid"; then
    pass "$1: the forwarding is gone while the box is up"
  else
    fail "$1: the forwarding is left while the box is up, or the host has ended"
    rules
  fi
  kill -TERM "$host_pid"
  wait_for_host 5
  if [ "$host_status" = 1 ]; then pass "$1: a signal ends the host with status 1"; else
    fail "$1: after the signal, the host ended with status $host_status"
  fi
}

# --- Through the router, by one protocol alone. -------------------------------------------------
# $1 names the protocol as the host says it; $2, $3: UPnP and NAT-PMP on the router (yes or no);
# $4: how the host ends, escape (from the guest) or lost (the guest vanishes).
play_through_router() {
  local protocol=$1 ending=$4 join
  echo "--- $protocol"
  port=$((port + 1))  # a port of its own, whatever the run before left behind
  start_miniupnpd "$2" "$3"
  start_host
  host_prints "the router forwards UDP port $port here ($protocol)" "$protocol: forwarded"
  if wait_until 5 forwarded; then pass "$protocol: the router forwards port $port"; else
    fail "$protocol: no rule for port $port"
    rules
  fi
  if wait_until 5 notice_shown "notice-$protocol"; then
    pass "$protocol: the waiting screen says what to type"
  else
    fail "$protocol: no notice on the waiting screen"
  fi
  join=$(grep -o "zorvane --join $router_outside:[0-9]*$" "$work/host.stdout" | head -n1)
  [ -n "$join" ] || fail_now "$protocol: the host printed nothing to join at $router_outside"
  DISPLAY=$guest_display start_game ip netns exec "$outside" "$app/zorvane" \
    --join "${join#zorvane --join }"
  if wait_until 15 eval '! host_shows_waiting'; then
    pass "$protocol: the guest joined ${join#zorvane --join }; the game started"
  else
    fail "$protocol: the guest did not join"
    cat "$work/stderr" "$work/host.stderr"
  fi
  case $ending in
    escape) end_by_escape "$protocol" ;;
    lost) end_by_losing_the_guest "$protocol" ;;
  esac
  stop_miniupnpd
}
play_through_router NAT-PMP no yes escape
play_through_router UPnP-IGD yes no lost

# --- No router answers. -------------------------------------------------------------------------
# The router drops whatever is sent to it, as one that speaks neither protocol and keeps its
# ports closed: the host hears no refusal either.
echo "--- no router"
port=$((port + 1))
in_router nft add chain inet filter input '{ type filter hook input priority 0; policy drop; }'
start_host
host_prints "no router answered within 2 s" "no router: the host says so"
host_prints "on this network, a friend joins with zorvane --join 192.168.77.2:$port" \
  "no router: the host names its own address"
if host_shows_waiting; then pass "no router: the host waits on"; else
  fail "no router: the host does not wait"
fi
DISPLAY=$host_display xdotool mousemove 640 480 key Escape
wait_for_host 10
if [ "$host_status" = 0 ]; then pass "no router: Escape ends the host with status 0"; else
  fail "no router: the host ended with status $host_status"
  cat "$work/host.stderr"
fi

finish
