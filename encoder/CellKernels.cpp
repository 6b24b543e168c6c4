#include "CellKernels.h"

#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

#include "KernelChoice.h"

namespace CellKernels {
namespace {

// Row r of the cells from byte row r / 8, bit r % 8 of each byte: shifted
// down and masked, eight bytes of a word at a time.
void ExpandColumnsPlain(const std::uint8_t* columnBytes, int size, std::uint8_t* cells, int stride)
{
    constexpr std::uint64_t ones = 0x0101010101010101ull;
    for (int r = 0; r < size; ++r, cells += stride) {
        const std::uint8_t* bytes = columnBytes + (r / 8) * ColumnStride;
        for (int c = 0; c < size; c += 8) {
            std::uint64_t word;
            std::memcpy(&word, bytes + c, sizeof word);
            word = (word >> (r % 8)) & ones;
            std::memcpy(cells + c, &word, sizeof word);
        }
    }
}

#if defined(__SSE2__)
// The same sixteen bytes at a time; a shift of the 16-bit lanes brings bit
// r % 8 of both bytes to their bit 0 (what the high byte shifts into the
// low one lands above it).
void ExpandColumnsSse2(const std::uint8_t* columnBytes, int size, std::uint8_t* cells, int stride)
{
    const __m128i ones = _mm_set1_epi8(1);
    for (int r = 0; r < size; ++r, cells += stride) {
        const std::uint8_t* bytes = columnBytes + (r / 8) * ColumnStride;
        const __m128i shift = _mm_cvtsi32_si128(r % 8);
        for (int c = 0; c < size; c += 16) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + c));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(cells + c),
                             _mm_and_si128(_mm_srl_epi16(x, shift), ones));
        }
    }
}

__attribute__((target("avx2"))) void ExpandColumnsAvx2(const std::uint8_t* columnBytes, int size,
                                                       std::uint8_t* cells, int stride)
{
    const __m256i ones = _mm256_set1_epi8(1);
    for (int r = 0; r < size; ++r, cells += stride) {
        const std::uint8_t* bytes = columnBytes + (r / 8) * ColumnStride;
        const __m128i shift = _mm_cvtsi32_si128(r % 8);
        for (int c = 0; c < size; c += 32) {
            const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + c));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(cells + c),
                                _mm256_and_si256(_mm256_srl_epi16(x, shift), ones));
        }
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

KernelChoice<Kernel>& Choice()
{
    static KernelChoice<Kernel> choice(Fastest());
    return choice;
}

} // namespace

bool Supported(Kernel kernel) { return Choice().Supported(kernel); }
Kernel Active() { return Choice().Active(); }
bool ForceKernel(Kernel kernel) { return Choice().Force(kernel); }
void UseFastestKernel() { Choice().UseFastest(); }

void ExpandColumns(Kernel kernel, const std::uint8_t* columnBytes, int size, std::uint8_t* cells,
                   int stride)
{
#if defined(__SSE2__)
    if (kernel == Kernel::Avx2 && Supported(Kernel::Avx2)) {
        ExpandColumnsAvx2(columnBytes, size, cells, stride);
        return;
    }
    if (kernel == Kernel::Sse2) {
        ExpandColumnsSse2(columnBytes, size, cells, stride);
        return;
    }
#endif
    ExpandColumnsPlain(columnBytes, size, cells, stride);
}

} // namespace CellKernels
