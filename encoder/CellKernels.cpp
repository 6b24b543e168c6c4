#include "CellKernels.h"

#include <array>
#include <bit>
#include <cstring>
#include <algorithm>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace CellKernels {
namespace {

int forcedKernel = -1;

// One bit at a time, as the layouts are defined.
void TransposeBitsPlain(const std::uint8_t* columnBytes, int size, std::uint64_t* rowWords)
{
    const int rows = (size + 7) / 8 * 8;
    std::fill_n(rowWords, static_cast<std::size_t>(rows) * RowWords, 0);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < size; ++c) {
            const int bit = columnBytes[(r / 8) * ColumnStride + c] >> (r % 8) & 1;
            rowWords[r * RowWords + c / 64] |= static_cast<std::uint64_t>(bit) << (c % 64);
        }
}

// Eight bits as eight cells (0 or 1), bit t in the t-th cell in memory order.
constexpr auto kByteCells = [] {
    std::array<std::uint64_t, 256> table{};
    for (int bits = 0; bits < 256; ++bits) {
        std::array<std::uint8_t, 8> cells{};
        for (int t = 0; t < 8; ++t)
            cells[static_cast<std::size_t>(t)] = static_cast<std::uint8_t>((bits >> t) & 1);
        table[static_cast<std::size_t>(bits)] = std::bit_cast<std::uint64_t>(cells);
    }
    return table;
}();

void ExpandRowsPlain(const std::uint64_t* rowWords, int size, std::uint8_t* cells, int stride)
{
    for (int r = 0; r < size; ++r, rowWords += RowWords, cells += stride)
        for (int k = 0; 8 * k < size; ++k) {
            const std::uint64_t cellWord = kByteCells[(rowWords[k / 8] >> (8 * (k % 8))) & 0xFF];
            std::memcpy(cells + 8 * k, &cellWord, sizeof cellWord);
        }
}

#if defined(__SSE2__)
// Sixteen columns' bytes of eight rows at a time: PMOVMSKB gathers bit 7 of
// every byte, the highest of its rows, into sixteen bits of that row, and a
// shift of each 64-bit lane by one brings the next row down to bit 7 (what
// crosses into the next byte stays below bit 7 for the seven shifts). A row
// is 24 bytes, so the sixteen bits of a group of columns land whole.
void TransposeBitsSse2(const std::uint8_t* columnBytes, int size, std::uint64_t* rowWords)
{
    auto* rowBytes = reinterpret_cast<std::uint8_t*>(rowWords);
    for (int k = 0; 8 * k < size; ++k)
        for (int g = 0; g < 4 * ((size + 63) / 64); ++g) {
            __m128i x = _mm_loadu_si128(
                reinterpret_cast<const __m128i*>(columnBytes + k * ColumnStride + 16 * g));
            for (int t = 7; t >= 0; --t, x = _mm_slli_epi64(x, 1)) {
                const auto bits = static_cast<std::uint16_t>(_mm_movemask_epi8(x));
                std::memcpy(rowBytes + (8 * k + t) * RowWords * 8 + 2 * g, &bits, sizeof bits);
            }
        }
}

// 32 bits a step: each byte of the word copied to eight lanes, each lane
// keeping its own bit, compared into 0 or -1 and negated.
__attribute__((target("avx2"))) void ExpandRowsAvx2(const std::uint64_t* rowWords, int size,
                                                    std::uint8_t* cells, int stride)
{
    const __m256i spread = _mm256_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, //
                                            2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3);
    const __m256i select = _mm256_set1_epi64x(static_cast<long long>(0x8040201008040201ull));
    for (int r = 0; r < size; ++r, rowWords += RowWords, cells += stride)
        for (int k = 0; 32 * k < size; ++k) {
            const auto word = static_cast<std::uint32_t>(rowWords[k / 2] >> (32 * (k % 2)));
            const __m256i lanes =
                _mm256_shuffle_epi8(_mm256_set1_epi32(static_cast<int>(word)), spread);
            const __m256i set = _mm256_cmpeq_epi8(_mm256_and_si256(lanes, select), select);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(cells + 32 * k),
                                _mm256_sub_epi8(_mm256_setzero_si256(), set));
        }
}

Kernel Fastest()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? Kernel::Avx2 : Kernel::Sse2;
}
#else
Kernel Fastest() { return Kernel::Plain; }
#endif

} // namespace

bool Supported(Kernel kernel)
{
    static const Kernel fastest = Fastest();
    return static_cast<int>(kernel) <= static_cast<int>(fastest);
}

Kernel Active()
{
    static const Kernel fastest = Fastest();
    return forcedKernel >= 0 ? static_cast<Kernel>(forcedKernel) : fastest;
}

bool ForceKernel(Kernel kernel)
{
    if (!Supported(kernel)) return false;
    forcedKernel = static_cast<int>(kernel);
    return true;
}

void UseFastestKernel() { forcedKernel = -1; }

void TransposeBits(Kernel kernel, const std::uint8_t* columnBytes, int size, std::uint64_t* rowWords)
{
#if defined(__SSE2__)
    if (kernel != Kernel::Plain && Supported(Kernel::Sse2)) {
        TransposeBitsSse2(columnBytes, size, rowWords);
        return;
    }
#endif
    static_cast<void>(kernel);
    TransposeBitsPlain(columnBytes, size, rowWords);
}

void ExpandRows(Kernel kernel, const std::uint64_t* rowWords, int size, std::uint8_t* cells,
                int stride)
{
#if defined(__SSE2__)
    if (kernel == Kernel::Avx2 && Supported(Kernel::Avx2)) {
        ExpandRowsAvx2(rowWords, size, cells, stride);
        return;
    }
#endif
    ExpandRowsPlain(rowWords, size, cells, stride);
}

} // namespace CellKernels
