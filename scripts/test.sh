#!/usr/bin/env bash
# Builds and runs every test: the encoder core natively, again under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the Windows programs
# under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh

jobs=$(nproc)
for preset in native native-asan; do
  echo "=== $preset ==="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done

# The encoder's kernels and dispatch on older processors, under qemu-user.
echo "=== qemu ==="
scripts/qemu-tests.sh build/native

# The encoder core under libFuzzer, from the committed seed corpus, about a
# minute in all; scripts/fuzz.sh 600 runs ten minutes per target.
echo "=== fuzz ==="
scripts/fuzz.sh 30

# The Windows programs, cross-built with MinGW-w64; CTest runs every test
# under Wine (scripts/wine-run.sh makes the prefix and display on first use).
echo "=== windows ==="
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
# One test at a time: every Windows test program shares one Wine desktop, and
# tests that read the screen, the keyboard focus or the foreground window (the
# skin attaches a message box when its owner is activated) fail when another
# program's window comes to the front meanwhile.
# The package tests build the zip and the installer themselves (the CTest
# fixture package_build), then install, run and uninstall them under Wine.
ctest --preset windows -j 1
