#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program (arguments go to the program).
#
#   scripts/run.sh --demo [DIR]   starts with throwaway folders (under DIR, default a new folder
#                                 in /tmp), the simulated camera, and the grid of the simulated
#                                 view already set up: record, select and measure a jump at once.
set -euo pipefail
started_in="$PWD"
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh

if [[ "${1:-}" != "--demo" ]]; then
    exec build/src/skelvin "$@"
fi
shift
demo="${1:-}"
if [[ -n "$demo" ]]; then
    shift
    [[ "$demo" = /* ]] || demo="$started_in/$demo"
else
    demo="$(mktemp -d /tmp/skelvin-demo.XXXXXX)"
fi
scripts/demo-setup.sh "$demo"
echo "Skelvin demo in $demo"
echo "Main screen: Proceed to Capture Video, Start Recording (the skier lands 2 s later),"
echo "step to the first contact with the arrow keys, Use displayed frame to measure jump,"
echo "click the contact point, Record."
exec build/src/skelvin --app-dir "$demo/app" --drive-root "$demo/drive" --settings "$demo/DE05.conf" \
    --simulated-camera "$@"
