#include "CellKernels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

// Every kernel against the definition, on every symbol size and on the
// sizes around whole 16 x 16 blocks: each cell of the square trades places
// with its mirror, and the cells past the square in each row and the rows
// below it stay as they were.
TEST(CellKernelsTest, EveryKernelTurnsTheSquareAndLeavesTheRestAlone)
{
    std::mt19937 random(7);
    std::vector<int> sizes{0, 1, 15, 16, 17, 31, 32, 33};
    for (int size = 21; size <= 177; size += 4) sizes.push_back(size);
    for (const auto kernel : {CellKernels::Kernel::Plain, CellKernels::Kernel::Sse2}) {
        if (!CellKernels::Supported(kernel)) continue;
        for (const int size : sizes) {
            const int stride = size + 3;
            std::vector<std::uint8_t> cells(static_cast<std::size_t>(stride) * (stride + 1));
            for (auto& cell : cells) cell = static_cast<std::uint8_t>(random());
            const std::vector<std::uint8_t> before = cells;
            CellKernels::Transpose(kernel, cells.data(), size, stride);
            for (int i = 0; i <= stride; ++i)
                for (int j = 0; j < stride; ++j) {
                    const bool inside = i < size && j < size;
                    ASSERT_EQ(cells[i * stride + j], before[inside ? j * stride + i : i * stride + j])
                        << "kernel " << static_cast<int>(kernel) << ", size " << size << ", cell ("
                        << i << ", " << j << ")";
                }
        }
    }
}

// x86-64 always has SSE2, and the fastest kernel is one the CPU runs.
TEST(CellKernelsTest, TheFastestKernelIsSupported)
{
#if defined(__x86_64__)
    EXPECT_TRUE(CellKernels::Supported(CellKernels::Kernel::Sse2));
    EXPECT_EQ(CellKernels::Fastest(), CellKernels::Kernel::Sse2);
#endif
    EXPECT_TRUE(CellKernels::Supported(CellKernels::Fastest()));
}

} // namespace
