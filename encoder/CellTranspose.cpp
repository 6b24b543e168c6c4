#include "CellTranspose.h"

#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace CellTranspose {
namespace {

// Swaps (i, j) with (j, i) for every i in [from, size) and j < i: every pair
// with at least one coordinate at or past from.
void SwapFrom(std::uint8_t* cells, int size, int stride, int from)
{
    for (int i = from; i < size; ++i)
        for (int j = 0; j < i; ++j)
            std::swap(cells[static_cast<std::ptrdiff_t>(i) * stride + j],
                      cells[static_cast<std::ptrdiff_t>(j) * stride + i]);
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
    for (int r = 0; r < 16; ++r) _mm_storeu_si128(reinterpret_cast<__m128i*>(cells + r * stride), x[r]);
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
#endif

} // namespace

bool Supported(Kernel kernel)
{
#if defined(__SSE2__)
    if (kernel == Kernel::Sse2) return true;
#endif
    return kernel == Kernel::Plain;
}

Kernel Fastest() { return Supported(Kernel::Sse2) ? Kernel::Sse2 : Kernel::Plain; }

void Transpose(Kernel kernel, std::uint8_t* cells, int size, int stride)
{
#if defined(__SSE2__)
    if (kernel == Kernel::Sse2) {
        TransposeSse2(cells, size, stride);
        return;
    }
#endif
    static_cast<void>(kernel);
    SwapFrom(cells, size, stride, 0);
}

} // namespace CellTranspose
