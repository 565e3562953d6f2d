#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer) into
# build-fuzz/ and runs each for SECONDS (default 60) or RUNS executions, whichever ends first.
#
#   scripts/fuzz.sh [SECONDS] [RUNS] [TARGET...]
#
# Each target starts from its seeds (tests/data/fuzz/<target>: files the tests make, and every
# crasher found and fixed) and keeps what it learns in build-fuzz/corpus/<target>. A crash
# leaves its input as build-fuzz/crash-<target>-*; the script goes on with the next target and
# ends with status 1 when any target failed. Figures: build-fuzz/<target>.log.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
runs="${2:--1}"
shift $(( $# < 2 ? $# : 2 ))
CXX=clang++ cmake -S fuzz -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 2
cmake --build build-fuzz -j"$(nproc)" || exit 2

targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
    for f in fuzz/*_fuzzer.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi
export ASAN_OPTIONS="detect_leaks=0:allocator_may_return_null=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
failed=0
for t in "${targets[@]}"; do
    corpus="build-fuzz/corpus/$t"
    mkdir -p "$corpus"
    seeds=()
    [[ -d "tests/data/fuzz/$t" ]] && seeds+=("tests/data/fuzz/$t")
    echo "== $t (${seconds}s, runs ${runs})"
    if build-fuzz/"$t" -max_total_time="$seconds" -runs="$runs" -rss_limit_mb=4096 \
        -timeout=30 -artifact_prefix="build-fuzz/crash-$t-" -print_final_stats=1 \
        "$corpus" "${seeds[@]}" >"build-fuzz/$t.log" 2>&1; then
        grep -E '^stat::number_of_executed_units|^#[0-9]+.*DONE' "build-fuzz/$t.log" | tail -2
    else
        echo "   FAILED: see build-fuzz/$t.log"; failed=1
    fi
done
exit "$failed"
