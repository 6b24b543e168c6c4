#pragma once

#include <cstdint>
#include <vector>

#include "BenchWorkload.h"

// A symbol as the benchmark compares them: size x size modules, row-major from
// the top, 1 = dark. Filled only for the correctness check, never while timing.
struct ModuleGrid {
    int size = 0;
    std::vector<std::uint8_t> dark;
};

// The peer encoders, each handed the segment mode it would pick for the
// workload itself. fixedMask true asks for mask pattern 0, false for the peer's
// own choice by the penalty rules of ISO/IEC 18004, 7.8.3. Each returns the
// modules per side of the symbol made, or 0 when it made none; grid, when not
// null, receives the modules.
int EncodeWithQrencode(const BenchWorkload& workload, bool fixedMask, ModuleGrid* grid);
int EncodeWithQrcodegen(const BenchWorkload& workload, bool fixedMask, ModuleGrid* grid);
int EncodeWithZXing(const BenchWorkload& workload, bool fixedMask, ModuleGrid* grid);
