#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (headless): once in the normal build,
# then once more built with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/).
# SKELVIN_SKIP_SANITIZED=1 runs the first pass only.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j"$(nproc)"

if [[ "${SKELVIN_SKIP_SANITIZED:-}" != 1 ]]; then
    scripts/build-sanitized.sh
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1"
    export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
fi
