#!/usr/bin/env bash
# Configures and builds Skelvin with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ (program, tool, tests; no benchmarks).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKELVIN_SANITIZE=ON "$@"
cmake --build build-asan -j"$(nproc)"
