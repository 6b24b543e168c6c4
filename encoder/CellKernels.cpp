#include "CellKernels.h"

#include <array>
#include <bit>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace CellKernels {
namespace {

int forcedKernel = -1;

// Swaps (i, j) with (j, i) for every i in [from, size) and j < i: every pair
// with at least one coordinate at or past from.
void SwapFrom(std::uint8_t* cells, int size, int stride, int from)
{
    for (int i = from; i < size; ++i)
        for (int j = 0; j < i; ++j)
            std::swap(cells[static_cast<std::ptrdiff_t>(i) * stride + j],
                      cells[static_cast<std::ptrdiff_t>(j) * stride + i]);
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

void ExpandBitsPlain(const std::uint64_t* bits, int count, std::uint8_t* cells)
{
    for (int k = 0; 8 * k < count; ++k) {
        const std::uint64_t cellWord = kByteCells[(bits[k / 8] >> (8 * (k % 8))) & 0xFF];
        std::memcpy(cells + 8 * k, &cellWord, sizeof cellWord);
    }
}

#if defined(__SSE2__)
// A 16 x 16 block of cells, row r in x[r]. Interleaving the bytes of rows i
// and i + 8 into rows 2i (low halves) and 2i + 1 (high halves) moves the cell
// at address (row r3 r2 r1 r0, column c3 c2 c1 c0) to (r2 r1 r0 c3, c2 c1 c0
// r3): a rotation of its eight address bits by one. Four rounds rotate by
// four, which is the transpose.
void TransposeBlock(__m128i (&x)[16])
{
    for (int round = 0; round < 4; ++round) {
        __m128i y[16];
        for (int i = 0; i < 8; ++i) {
            y[2 * i] = _mm_unpacklo_epi8(x[i], x[i + 8]);
            y[2 * i + 1] = _mm_unpackhi_epi8(x[i], x[i + 8]);
        }
        for (int i = 0; i < 16; ++i) x[i] = y[i];
    }
}

void LoadBlock(const std::uint8_t* cells, int stride, __m128i (&x)[16])
{
    for (int r = 0; r < 16; ++r)
        x[r] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cells + r * stride));
}

void StoreBlock(std::uint8_t* cells, int stride, const __m128i (&x)[16])
{
    for (int r = 0; r < 16; ++r)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(cells + r * stride), x[r]);
}

// The whole 16 x 16 blocks: a block on the diagonal is turned in place, two
// blocks mirrored across it trade places turned.
void TransposeSse2(std::uint8_t* cells, int size, int stride)
{
    const int blocks = size / 16;
    for (int bi = 0; bi < blocks; ++bi)
        for (int bj = bi; bj < blocks; ++bj) {
            std::uint8_t* a = cells + static_cast<std::ptrdiff_t>(16 * bi) * stride + 16 * bj;
            std::uint8_t* b = cells + static_cast<std::ptrdiff_t>(16 * bj) * stride + 16 * bi;
            __m128i x[16], y[16];
            LoadBlock(a, stride, x);
            TransposeBlock(x);
            if (a == b) {
                StoreBlock(a, stride, x);
                continue;
            }
            LoadBlock(b, stride, y);
            TransposeBlock(y);
            StoreBlock(a, stride, y);
            StoreBlock(b, stride, x);
        }
    SwapFrom(cells, size, stride, 16 * blocks);
}

// 32 bits a step: each byte of the word copied to eight lanes, each lane
// keeping its own bit, compared into 0 or -1 and negated.
__attribute__((target("avx2"))) void ExpandBitsAvx2(const std::uint64_t* bits, int count,
                                                    std::uint8_t* cells)
{
    const __m256i spread = _mm256_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, //
                                            2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3);
    const __m256i select = _mm256_set1_epi64x(static_cast<long long>(0x8040201008040201ull));
    for (int k = 0; 32 * k < count; ++k) {
        const auto word = static_cast<std::uint32_t>(bits[k / 2] >> (32 * (k % 2)));
        const __m256i lanes = _mm256_shuffle_epi8(_mm256_set1_epi32(static_cast<int>(word)), spread);
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

void Transpose(Kernel kernel, std::uint8_t* cells, int size, int stride)
{
#if defined(__SSE2__)
    if (kernel != Kernel::Plain && Supported(Kernel::Sse2)) {
        TransposeSse2(cells, size, stride);
        return;
    }
#endif
    static_cast<void>(kernel);
    SwapFrom(cells, size, stride, 0);
}

void ExpandBits(Kernel kernel, const std::uint64_t* bits, int count, std::uint8_t* cells)
{
#if defined(__SSE2__)
    if (kernel == Kernel::Avx2 && Supported(Kernel::Avx2)) {
        ExpandBitsAvx2(bits, count, cells);
        return;
    }
#endif
    ExpandBitsPlain(bits, count, cells);
}

} // namespace CellKernels
