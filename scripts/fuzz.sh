#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and UBSan) and runs
# each from its committed seed corpus for a bounded time.
#   scripts/fuzz.sh            30 seconds per target (the test stage)
#   scripts/fuzz.sh 600        ten minutes per target
# New inputs go to the build directory; the committed corpus is only read.
# A finding stops the run with the fault printed and the input saved as
# build/fuzz/crash-*; rerun it with build/fuzz/<Target> <that file>.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
build=build/fuzz
cmake -S tests/fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DVEMORA_WERROR=ON >/dev/null
cmake --build "$build" -j 2

# Runs one target into its own log; the status is the fuzzer's own.
run() {
  local target=$1 corpus=$2 maxlen=$3
  local work="$build/corpus-$corpus"
  mkdir -p "$work"
  (cd "$build" && exec "./$target" -max_total_time="$seconds" -max_len="$maxlen" -timeout=30 \
      -print_final_stats=1 "corpus-$corpus" "../../tests/fuzz/corpus/$corpus") >"$build/$target.log" 2>&1
}

# A fuzzer uses one core: the targets run side by side, each for the full
# time, and their reports follow one another.
targets=(EncodeRoundTripFuzz BitStreamFuzz)
run EncodeRoundTripFuzz round_trip 3100 & pids=($!)
run BitStreamFuzz bit_stream 4400 & pids+=($!)
failed=0
for i in "${!targets[@]}"; do
  status=0
  wait "${pids[$i]}" || status=$?
  echo "=== fuzz ${targets[$i]}: ${seconds}s ==="
  # Only the summary: libFuzzer's progress lines stay in the log.
  grep -E 'stat::number_of_executed_units|Done|ERROR|fault|SUMMARY|crash-' "$build/${targets[$i]}.log" || true
  ((status == 0)) || { echo "fuzz: ${targets[$i]} failed ($status), see $build/${targets[$i]}.log"; failed=1; }
done
exit "$failed"
