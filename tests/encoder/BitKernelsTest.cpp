#include "BitKernels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

namespace {

// PDEP as its definition: source's low bits into mask's set bits, in order.
std::uint64_t DepositReference(std::uint64_t source, std::uint64_t mask)
{
    std::uint64_t result = 0;
    for (int bit = 0; bit < 64; ++bit)
        if (mask >> bit & 1) {
            result |= (source & 1) << bit;
            source >>= 1;
        }
    return result;
}

// Masks as the placement meets them (mostly full windows with gaps of
// function modules) and random ones, empty and full.
TEST(BitKernelsTest, DepositsAndEvenBitsAsDefined)
{
    std::mt19937_64 random(3);
    for (int i = 0; i < 20000; ++i) {
        const std::uint64_t source = random();
        std::uint64_t mask = random();
        if (i % 4 == 1) mask = ~std::uint64_t{0} >> (random() % 64);
        if (i % 4 == 2) mask = (~std::uint64_t{0} >> 8) & ~(std::uint64_t{0x3FF} << (random() % 50));
        if (i == 0) mask = 0;
        if (i == 1) mask = ~std::uint64_t{0};
        const std::uint64_t expected = DepositReference(source, mask);
        ASSERT_EQ(BitKernels::DepositPlain(source, mask), expected) << std::hex << mask;
        std::uint64_t even = 0;
        for (int bit = 0; bit < 32; ++bit) even |= (source >> (2 * bit) & 1) << bit;
        ASSERT_EQ(BitKernels::ExtractEvenPlain(source), even);
#if defined(VEMORA_HAS_BMI2_KERNEL)
        if (BitKernels::Supported(BitKernels::Kernel::Bmi2)) {
            ASSERT_EQ(BitKernels::DepositBmi2(source, mask), expected) << std::hex << mask;
            ASSERT_EQ(BitKernels::ExtractBmi2(source, 0x5555555555555555ull), even);
        }
#endif
    }
}

// BMI2 is used only where the CPU has it, and can be forced only there.
TEST(BitKernelsTest, TheActiveKernelIsOneTheCpuRuns)
{
    BitKernels::UseFastestKernel();
    EXPECT_TRUE(BitKernels::Supported(BitKernels::Kernel::Plain));
    EXPECT_TRUE(BitKernels::Supported(BitKernels::Active()));
#if defined(__x86_64__)
    __builtin_cpu_init();
    EXPECT_EQ(BitKernels::Supported(BitKernels::Kernel::Bmi2), __builtin_cpu_supports("bmi2") != 0);
#endif
    EXPECT_EQ(BitKernels::ForceKernel(BitKernels::Kernel::Bmi2),
              BitKernels::Supported(BitKernels::Kernel::Bmi2));
    EXPECT_TRUE(BitKernels::ForceKernel(BitKernels::Kernel::Plain));
    EXPECT_EQ(BitKernels::Active(), BitKernels::Kernel::Plain);
    BitKernels::UseFastestKernel();
}

} // namespace
