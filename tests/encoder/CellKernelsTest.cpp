#include "CellKernels.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "BitKernels.h"
#include "clsQRCode.h"

namespace {

constexpr CellKernels::Kernel kKernels[] = {CellKernels::Kernel::Plain, CellKernels::Kernel::Sse2,
                                            CellKernels::Kernel::Avx2};

// Every kernel against the column layout's definition, at sizes around
// whole groups of 8, 16 and 32 columns and at every symbol size; the rows
// below the symbol are left alone.
TEST(CellKernelsTest, EveryKernelWritesTheColumnsBitsAsRowsOfCells)
{
    std::mt19937_64 random(7);
    std::vector<int> sizes{1, 7, 8, 9, 15, 16, 17, 31, 32, 33};
    for (int size = 21; size <= 177; size += 4) sizes.push_back(size);
    for (const auto kernel : kKernels) {
        if (!CellKernels::Supported(kernel)) continue;
        for (const int size : sizes) {
            std::vector<std::uint8_t> columns(CellKernels::ColumnByteRows * CellKernels::ColumnStride);
            for (auto& byte : columns) byte = static_cast<std::uint8_t>(random());
            const int stride = size + 3;
            std::vector<std::uint8_t> cells((size + 3) * stride + 32, 0xAA);
            CellKernels::ExpandColumns(kernel, columns.data(), size, cells.data(), stride);
            for (int r = 0; r < size; ++r)
                for (int c = 0; c < size; ++c) {
                    const int bit = columns[(r / 8) * CellKernels::ColumnStride + c] >> (r % 8) & 1;
                    ASSERT_EQ(cells[r * stride + c], bit)
                        << "kernel " << static_cast<int>(kernel) << ", size " << size
                        << ", module (" << r << ", " << c << ")";
                }
            for (int at = size * stride + 32; at < (size + 3) * stride + 32; ++at)
                ASSERT_EQ(cells[at], 0xAA) << "kernel " << static_cast<int>(kernel) << ", size " << size;
        }
    }
}

// The dispatch: what a test forces is used, a kernel the CPU lacks cannot be
// forced, and the fastest one is the best the CPU runs.
TEST(CellKernelsTest, TheActiveKernelIsTheBestTheCpuRuns)
{
    CellKernels::UseFastestKernel();
    const auto active = CellKernels::Active();
    EXPECT_TRUE(CellKernels::Supported(active));
    for (const auto kernel : kKernels)
        if (static_cast<int>(kernel) > static_cast<int>(active)) {
            EXPECT_FALSE(CellKernels::Supported(kernel));
        }
#if defined(__x86_64__)
    EXPECT_TRUE(CellKernels::Supported(CellKernels::Kernel::Sse2));
    __builtin_cpu_init();
    EXPECT_EQ(active == CellKernels::Kernel::Avx2, __builtin_cpu_supports("avx2") != 0);
#endif
    for (const auto kernel : kKernels) {
        EXPECT_EQ(CellKernels::ForceKernel(kernel), CellKernels::Supported(kernel));
        if (CellKernels::Supported(kernel)) {
            EXPECT_EQ(CellKernels::Active(), kernel);
        }
    }
    CellKernels::UseFastestKernel();
    EXPECT_EQ(CellKernels::Active(), active);
}

// Every combination of the placement's kernels this CPU runs makes the same
// symbols, at every version and level, as the plain kernels do.
TEST(CellKernelsTest, EveryKernelCombinationMakesTheSameSymbols)
{
    clsQRCode qr;
    std::mt19937 random(11);
    std::vector<std::vector<std::uint8_t>> messages;
    for (int version = 1; version <= 40; ++version) {
        std::vector<std::uint8_t> message(qr.DataCodewords(version, 1 + version % 4) - 3);
        for (auto& b : message) b = static_cast<std::uint8_t>(random());
        messages.push_back(message);
    }
    const auto encodeAll = [&] {
        std::vector<ModuleMatrix> symbols;
        for (int version = 1; version <= 40; ++version) {
            const auto& m = messages[static_cast<std::size_t>(version - 1)];
            symbols.push_back(*qr.EncodeMatrix(m.data(), static_cast<int>(m.size()), version,
                                               1 + version % 4, version % 8));
        }
        return symbols;
    };
    ASSERT_TRUE(CellKernels::ForceKernel(CellKernels::Kernel::Plain));
    ASSERT_TRUE(BitKernels::ForceKernel(BitKernels::Kernel::Plain));
    const auto expected = encodeAll();
    for (const auto cell : kKernels)
        for (const auto bit : {BitKernels::Kernel::Plain, BitKernels::Kernel::Bmi2}) {
            if (!CellKernels::ForceKernel(cell) || !BitKernels::ForceKernel(bit)) continue;
            EXPECT_EQ(encodeAll(), expected)
                << "cell kernel " << static_cast<int>(cell) << ", bit kernel " << static_cast<int>(bit);
        }
    CellKernels::UseFastestKernel();
    BitKernels::UseFastestKernel();
}

} // namespace
