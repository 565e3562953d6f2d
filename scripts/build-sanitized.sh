#!/usr/bin/env bash
# Configures and builds Skelvin with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ (program, tool, tests; no benchmarks). Optimised lightly (-O1) and with line
# tables only (-g1): the build costs little more than the normal one, and reports still name
# files and lines.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS="-O1 -g1" -DSKELVIN_SANITIZE=ON "$@"
cmake --build build-asan -j"$(nproc)"
