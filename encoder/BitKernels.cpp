#include "BitKernels.h"

#include <array>

#if defined(VEMORA_HAS_BMI2_KERNEL)
#include <cpuid.h>
#endif

#include "KernelChoice.h"

namespace BitKernels {
namespace {

constexpr int Popcount8(int m)
{
    int count = 0;
    for (; m; m &= m - 1) ++count;
    return count;
}

// The deposits and extractions of one byte: for each 8-bit mask m, its
// 2^popcount(m) deposits, kDepositStart[m] onwards (3^8 entries in all):
// entry x is x spread over the set bits of m. kExtract[m][x] gathers them back.
constexpr auto kDepositStart = [] {
    std::array<std::uint16_t, 257> start{};
    for (int m = 0; m < 256; ++m)
        start[static_cast<std::size_t>(m + 1)] =
            static_cast<std::uint16_t>(start[static_cast<std::size_t>(m)] + (1 << Popcount8(m)));
    return start;
}();
constexpr auto kDeposit = [] {
    std::array<std::uint8_t, 6561> table{};
    for (int m = 0; m < 256; ++m)
        for (int x = 0; x < (1 << Popcount8(m)); ++x) {
            int spread = 0, from = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (m >> bit & 1) spread |= ((x >> from++) & 1) << bit;
            table[kDepositStart[static_cast<std::size_t>(m)] + static_cast<std::size_t>(x)] =
                static_cast<std::uint8_t>(spread);
        }
    return table;
}();
constexpr auto kPopcount = [] {
    std::array<std::uint8_t, 256> table{};
    for (int m = 0; m < 256; ++m) table[static_cast<std::size_t>(m)] = static_cast<std::uint8_t>(Popcount8(m));
    return table;
}();

#if defined(VEMORA_HAS_BMI2_KERNEL)
bool HasBmi2()
{
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid_max(0, nullptr) < 7) return false;
    __cpuid_count(7, 0, eax, ebx, ecx, edx);
    return (ebx & (1u << 8)) != 0;
}

// BMI2, except on AMD processors before Zen 3 (family 19h), where PDEP and
// PEXT are microcoded.
bool Bmi2IsFast()
{
    if (!HasBmi2()) return false;
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    __cpuid(0, eax, ebx, ecx, edx);
    const bool amd = ebx == 0x68747541 && edx == 0x69746E65 && ecx == 0x444D4163; // "AuthenticAMD"
    if (!amd) return true;
    __cpuid(1, eax, ebx, ecx, edx);
    const unsigned family = ((eax >> 8) & 0xF) + ((eax >> 20) & 0xFF);
    return family >= 0x19;
}
#else
bool HasBmi2() { return false; }
bool Bmi2IsFast() { return false; }
#endif

KernelChoice<Kernel>& Choice()
{
    static KernelChoice<Kernel> choice(HasBmi2() ? Kernel::Bmi2 : Kernel::Plain,
                                       Bmi2IsFast() ? Kernel::Bmi2 : Kernel::Plain);
    return choice;
}

} // namespace

bool Supported(Kernel kernel) { return Choice().Supported(kernel); }
Kernel Active() { return Choice().Active(); }
bool ForceKernel(Kernel kernel) { return Choice().Force(kernel); }
void UseFastestKernel() { Choice().UseFastest(); }

std::uint64_t DepositPlain(std::uint64_t source, std::uint64_t mask)
{
    std::uint64_t result = 0;
    for (int shift = 0; shift < 64 && mask >> shift; shift += 8) {
        const std::size_t m = static_cast<std::size_t>(mask >> shift & 0xFF);
        const int count = kPopcount[m];
        result |= std::uint64_t{kDeposit[kDepositStart[m] + (source & ((1u << count) - 1))]} << shift;
        source >>= count;
    }
    return result;
}

} // namespace BitKernels
