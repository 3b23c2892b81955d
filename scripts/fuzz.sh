#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for a bounded time.
#   scripts/fuzz.sh [SECONDS_PER_TARGET]     (default 20; e.g. 600 for a long run)
# Each target starts from its seed corpus (tests/fuzz/corpus/<name>) and keeps what it
# finds in <build>/fuzz/corpus-work/<name>; a crash leaves its input in <build>/fuzz/crashes.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
build=${TARVEL_BUILD_ROOT:-$PWD/build}/fuzz
cmake --preset fuzz -B "$build" >/dev/null && cmake --build "$build" -j "$(nproc)" >/dev/null || exit 1
mkdir -p "$build/crashes"
passed=0 failed=0
for target in "$build"/tests/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  work="$build/corpus-work/$name"
  mkdir -p "$work"
  log="$build/$name.log"
  if "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$build/crashes/$name-" "$work" "tests/fuzz/corpus/$name" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz $name: ${runs:-?} runs in ${seconds} s, no crash"
    passed=$((passed + 1))
  else
    echo "fuzz $name: FAILED (see $log and $build/crashes)"
    tail -n 30 "$log"
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
