#!/usr/bin/env bash
# Benchmarks Vemora's encoder against libqrencode, qrcodegen and ZXing-cpp from
# a clean clone: installs the packages, configures the bench preset (Release),
# builds and runs the one benchmark program, which ends with a table of the
# medians and their ratios. Extra arguments go to Google Benchmark, e.g.
#   scripts/bench.sh --benchmark_filter=40L
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh
cmake --preset bench >/dev/null
cmake --build --preset bench -j 2
build/bench/bench/vemora_bench "$@"

# The window under Wine: Create latency for versions 1 and 40 and the start to
# the first painted window, medians of repeated runs (a cross build of its own).
winbuild=build/bench-windows
cmake -S . -B "$winbuild" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DVEMORA_BUILD_TESTS=OFF -DVEMORA_BUILD_BENCH=ON >/dev/null
cmake --build "$winbuild" -j 2 --target vemora_window_latency
program="Z:$(cd "$winbuild/ui" && pwd)/Vemora.exe"
scripts/wine-run.sh --state "$winbuild/wine" "$winbuild/bench/vemora_window_latency.exe" "${program//\//\\}" 15
