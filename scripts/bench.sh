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
