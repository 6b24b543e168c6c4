#!/usr/bin/env bash
# Benchmarks Vemora's encoder against libqrencode, qrcodegen and ZXing-cpp from
# a clean clone: installs the packages, builds the benchmark program twice, and
# runs each build, which ends with a table of medians and ratios and the
# machine's load averages:
#   1. the Release build (-O3): every encoder, every workload (ours with kanji
#      segments allowed, vemora_kanji, and not, vemora; versions 1, 5, 10, 20,
#      30 and 40 filled with random bytes beside the five kinds of message);
#   2. a build with -O2 instead (preset bench-O2): ours both ways and
#      libqrencode at mask 0, to show what the speed owes to the optimiser;
#   3. the heap (operator new calls, peak live bytes) and the stack (painted)
#      one encode uses;
#   4. the window under Wine (a cross build of its own).
# Extra arguments go to Google Benchmark in run 1, e.g.
#   scripts/bench.sh --benchmark_filter=40L
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh
for preset in bench bench-O2; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j 2
done

echo "=== Release build (-O3); $(uptime)"
build/bench/bench/vemora_bench "$@"
echo "=== -O2 build; $(uptime)"
build/bench-O2/bench/vemora_bench --benchmark_filter='/(vemora|vemora_kanji|qrencode_mask0)/'
build/bench/bench/vemora_footprint

# The window under Wine: Create latency for versions 1 and 40 and the start to
# the first painted window, medians of repeated runs (a cross build of its own).
winbuild=build/bench-windows
cmake -S . -B "$winbuild" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DVEMORA_BUILD_TESTS=OFF -DVEMORA_BUILD_BENCH=ON >/dev/null
cmake --build "$winbuild" -j 2 --target vemora_window_latency
program="Z:$(cd "$winbuild/ui" && pwd)/Vemora.exe"
scripts/wine-run.sh --state "$winbuild/wine" "$winbuild/bench/vemora_window_latency.exe" "${program//\//\\}" 15
