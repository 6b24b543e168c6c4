#!/usr/bin/env bash
# Builds and runs every test: the encoder core natively under
# AddressSanitizer and UndefinedBehaviorSanitizer, its kernels under qemu-user
# as older processors, the fuzz targets, and the Windows programs under Wine.
# Each stage reports how long it took.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh

jobs=$(nproc)

# The portable core's tests (encoder and fit advice) run once natively, in the
# sanitized build: it runs the very tests of the plain native build, on the
# same sources, and stops at the first memory fault or undefined behaviour.
# The optimised build of the same code is exercised by the Windows programs
# below (-O3, every symbol read back), and its kernels under qemu-user as
# older processors (the sanitizers' shadow memory does not run there), so
# only the encoder's test program is built in the plain native tree.
native() {
  cmake --preset native-asan >/dev/null
  cmake --build --preset native-asan -j "$jobs"
  ctest --preset native-asan -j "$jobs"
}

# The encoder's kernels and dispatch on processors this machine is not.
qemu() {
  cmake --preset native >/dev/null
  cmake --build --preset native -j "$jobs" --target vemora_encoder_tests
  scripts/qemu-tests.sh build/native
}

# The encoder core under libFuzzer, from the committed seed corpus, both
# targets side by side for 30 s; scripts/fuzz.sh 600 runs ten minutes each.
fuzz() { scripts/fuzz.sh 30; }

# The Windows programs, cross-built with MinGW-w64; CTest runs each test
# program under Wine in one process (scripts/wine-run.sh makes the prefix and
# display on first use).
# Every Windows test program shares one Wine desktop: programs that read the
# screen, the keyboard focus or the foreground window (the skin attaches a
# message box when its owner is activated) fail when another program's window
# comes to the front meanwhile. So every program that shows a window holds the
# lock vemora_desktop and they run one at a time; the programs that only draw
# into memory, and those at other display scales (a desktop of their own each),
# run beside them.
# The package tests build the zip and the installer themselves (the CTest
# fixture package_build), then install, run and uninstall them under Wine.
windows() {
  cmake --preset windows >/dev/null
  cmake --build --preset windows -j "$jobs"
  ctest --preset windows -j "$jobs"
}

for stage in native qemu fuzz windows; do
  echo "=== $stage ==="
  start=$SECONDS
  "$stage"
  echo "=== $stage: $((SECONDS - start)) s ==="
done
echo "=== all: $SECONDS s ==="
