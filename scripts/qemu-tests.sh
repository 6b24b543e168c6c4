#!/usr/bin/env bash
# The encoder's kernels on processors this machine is not: the native tests of
# the kernels, of the dispatch and of the symbols they make run under
# qemu-user as a Westmere (SSSE3, no AVX2) and as a plain x86-64 (qemu64: no
# SSSE3), so that every kernel level is some processor's best and runs there,
# and a kernel the processor lacks would die on an illegal instruction.
# Usage: scripts/qemu-tests.sh [native build folder, default build/native]
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/native}
tests="$build/tests/encoder/vemora_encoder_tests"
filter='GfKernels*:BitKernels*:CellKernels*:ByteClasses*:StreamKernels*:clsReedSolomon*:clsQRCodeBitStream*:clsQRCodeCodeword*'
for cpu in Westmere qemu64; do
  echo "--- qemu-x86_64 -cpu $cpu ---"
  qemu-x86_64 -cpu "$cpu" "$tests" --gtest_filter="$filter" --gtest_brief=1
done
