#!/usr/bin/env bash
# Tries the panel without a projector: starts the simulated projector, opens the panel with COM1
# on the simulator's line, and stops the simulator when the panel closes.
#   scripts/demo.sh BUILD_DIR [panel options...]
# SIM_ARGS in the environment go to the simulator, e.g. SIM_ARGS="--split --warmup-ms 2000".
# VIA=rfc2217 or VIA=socket puts Debian's ser2net between them, on a free port of 127.0.0.1, as
# telnet(rfc2217) or as raw tcp: the panel then opens COM1 as rfc2217:// or socket://.
# The simulator logs every frame and reply on this terminal.
set -euo pipefail

build=${1:?usage: scripts/demo.sh BUILD_DIR [panel options...]}
shift
sim=$build/tools/projector-sim/projector-sim
panel=$build/app/projector-panel
read -r -a sim_args <<<"${SIM_ARGS:-}"
via=${VIA:-}
case "$via" in
  "" | rfc2217 | socket) ;;
  *) echo "demo: VIA is rfc2217 or socket, not '$via'" >&2; exit 2 ;;
esac

coproc SIM { exec "$sim" "${sim_args[@]}"; }
sim_pid=$SIM_PID
server_pid=""
workdir=$(mktemp -d)
trap 'kill $sim_pid $server_pid 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$workdir"' EXIT

# The panel opens COM1 as it starts, so the line must exist and be known first.
if ! read -r -t 10 line <&"${SIM[0]}"; then
  echo "demo: the simulated projector did not start" >&2
  exit 1
fi
echo "demo: simulated projector on $line"

if [ -z "$via" ]; then
  "$panel" --com1 "$line" "$@"
  exit
fi

# Whether something listens on this port of 127.0.0.1 (state 0A in /proc/net/tcp).
listening() { grep -qi "^ *[0-9]*: 0100007F:$(printf '%04X' "$1") [0-9A-F:]* 0A" /proc/net/tcp; }
ser2net=$(command -v ser2net || echo /usr/sbin/ser2net)
[ -x "$ser2net" ] || { echo "demo: ser2net is not installed (make deps installs it)" >&2; exit 1; }
port=$((20000 + RANDOM % 20000))
while listening "$port"; do port=$((20000 + RANDOM % 20000)); done
accepter=tcp
[ "$via" = rfc2217 ] && accepter="telnet(rfc2217),tcp"
cat >"$workdir/ser2net.yaml" <<YAML
connection: &projector
  accepter: $accepter,127.0.0.1,$port
  connector: serialdev,$line,19200n81,local
YAML
"$ser2net" -n -u -c "$workdir/ser2net.yaml" -P "$workdir/ser2net.pid" 2>/dev/null &
server_pid=$!
for _ in $(seq 100); do listening "$port" && break; sleep 0.05; done
listening "$port" || { echo "demo: ser2net does not listen on port $port" >&2; exit 1; }
echo "demo: ser2net bridges it to $via://127.0.0.1:$port"
"$panel" --com1 "$via://127.0.0.1:$port" "$@"
