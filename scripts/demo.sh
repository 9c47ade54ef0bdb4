#!/usr/bin/env bash
# Tries the panel without a projector: starts the simulated projector, opens the panel with COM1
# on the simulator's line, and stops the simulator when the panel closes.
#   scripts/demo.sh BUILD_DIR [panel options...]
# SIM_ARGS in the environment go to the simulator, e.g. SIM_ARGS="--split --warmup-ms 2000".
# The simulator logs every frame and reply on this terminal.
set -euo pipefail

build=${1:?usage: scripts/demo.sh BUILD_DIR [panel options...]}
shift
sim=$build/tools/projector-sim/projector-sim
panel=$build/app/projector-panel
read -r -a sim_args <<<"${SIM_ARGS:-}"

coproc SIM { exec "$sim" "${sim_args[@]}"; }
sim_pid=$SIM_PID
trap 'kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true' EXIT

# The panel opens COM1 as it starts, so the line must exist and be known first.
if ! read -r -t 10 line <&"${SIM[0]}"; then
  echo "demo: the simulated projector did not start" >&2
  exit 1
fi
echo "demo: simulated projector on $line"
"$panel" --com1 "$line" "$@"
