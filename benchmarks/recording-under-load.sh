#!/usr/bin/env bash
# Runs a command (the recording benchmark) while another program keeps every core busy at
# normal priority: two CPU burners per core (`yes > /dev/null`), started in this session, so
# they compete with the program thread for thread as another program on the desktop would.
#   benchmarks/recording-under-load.sh build-bench/benchmarks/recording_benchmarks [ARGS]
set -euo pipefail
[[ $# -ge 1 ]] || { echo "usage: $0 COMMAND [ARGS...]" >&2; exit 2; }
burners=()
stop_burners() {
    for pid in "${burners[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
}
trap stop_burners EXIT
for ((i = 0; i < 2 * $(nproc); ++i)); do
    yes > /dev/null &
    burners+=("$!")
done
echo "${#burners[@]} CPU burners running (pids ${burners[*]})"
sleep 60 # the load average (a one-minute mean) shows them
"$@"
