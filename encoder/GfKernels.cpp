#include "GfKernels.h"

#include <cstring>
#include <utility>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VEMORA_GF_X86 1
#endif

namespace GfKernels {
namespace {

// The kernel a test forced, or -1 for the fastest the CPU supports.
int forcedKernel = -1;

// One lane at a time, the remainder in a window that slides along a buffer:
// before data symbol r it is window[r .. r+e-1], the feedback window[r], and
// the step adds the product of the feedback with every coefficient to
// window[r+1 .. r+e], eight bytes at a time. The products come from the rows
// of nibble products, so a step is two row lookups whatever e is.
void DividePlain(const GeneratorTables& tables, const std::uint8_t* rows, int k, int stride,
                 int lanes, std::uint8_t* parity)
{
    const int e = tables.CheckLength();
    const int rowBytes = tables.rowBytes;
    const std::uint8_t* products = tables.plainRows.data();
    std::uint8_t window[MaxCodeLength + 8];
    for (int lane = 0; lane < lanes; ++lane) {
        std::memset(window, 0, static_cast<std::size_t>(k + rowBytes + 1));
        for (int r = 0; r < k; ++r) {
            const int lead = rows[static_cast<std::ptrdiff_t>(r) * stride + lane] ^ window[r];
            const std::uint8_t* low = products + static_cast<std::ptrdiff_t>(lead & 15) * rowBytes;
            const std::uint8_t* high =
                products + static_cast<std::ptrdiff_t>(16 + (lead >> 4)) * rowBytes;
            std::uint8_t* out = window + r + 1;
            for (int j = 0; j < rowBytes; j += 8) {
                std::uint64_t a, b, c;
                std::memcpy(&a, out + j, 8);
                std::memcpy(&b, low + j, 8);
                std::memcpy(&c, high + j, 8);
                a ^= b ^ c;
                std::memcpy(out + j, &a, 8);
            }
        }
        for (int j = 0; j < e; ++j)
            parity[static_cast<std::ptrdiff_t>(j) * stride + lane] = window[k + j];
    }
}

#ifdef VEMORA_GF_X86

// 16 lanes per vector. The remainder lives in the parity rows; each step
// shifts it by one row while it adds the products, so the next step's
// feedback (row 0) is ready after the first product of this one.
__attribute__((target("ssse3"))) void DivideSsse3(const GeneratorTables& tables,
                                                  const std::uint8_t* rows, int k, int stride,
                                                  int lanes, std::uint8_t* parity)
{
    const NibbleProducts* feedback = tables.feedback.data();
    const int e = tables.CheckLength();
    const __m128i nibble = _mm_set1_epi8(0x0F);
    for (int group = 0; group < lanes; group += 16) {
        std::uint8_t* remainder = parity + group;
        for (int j = 0; j < e; ++j)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(remainder + j * stride),
                             _mm_setzero_si128());
        for (int r = 0; r < k; ++r) {
            const __m128i lead = _mm_xor_si128(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows + r * stride + group)),
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(remainder)));
            const __m128i low = _mm_and_si128(lead, nibble);
            const __m128i high = _mm_and_si128(_mm_srli_epi16(lead, 4), nibble);
            for (int j = 0; j < e; ++j) {
                const __m128i product = _mm_xor_si128(
                    _mm_shuffle_epi8(
                        _mm_load_si128(reinterpret_cast<const __m128i*>(feedback[j].low)), low),
                    _mm_shuffle_epi8(
                        _mm_load_si128(reinterpret_cast<const __m128i*>(feedback[j].high)), high));
                const __m128i next = j + 1 < e ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(
                                                     remainder + (j + 1) * stride))
                                               : _mm_setzero_si128();
                _mm_storeu_si128(reinterpret_cast<__m128i*>(remainder + j * stride),
                                 _mm_xor_si128(next, product));
            }
        }
    }
}

// The same with 32 lanes per vector; each 16-entry table is broadcast to both
// 128-bit halves, since VPSHUFB looks up within each half.
__attribute__((target("avx2"))) void DivideAvx2(const GeneratorTables& tables,
                                                const std::uint8_t* rows, int k, int stride,
                                                int lanes, std::uint8_t* parity)
{
    const NibbleProducts* feedback = tables.feedback.data();
    const int e = tables.CheckLength();
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    for (int group = 0; group < lanes; group += 32) {
        std::uint8_t* remainder = parity + group;
        for (int j = 0; j < e; ++j)
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(remainder + j * stride),
                                _mm256_setzero_si256());
        for (int r = 0; r < k; ++r) {
            const __m256i lead = _mm256_xor_si256(
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows + r * stride + group)),
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(remainder)));
            const __m256i low = _mm256_and_si256(lead, nibble);
            const __m256i high = _mm256_and_si256(_mm256_srli_epi16(lead, 4), nibble);
            for (int j = 0; j < e; ++j) {
                const __m256i lowTable = _mm256_broadcastsi128_si256(
                    _mm_load_si128(reinterpret_cast<const __m128i*>(feedback[j].low)));
                const __m256i highTable = _mm256_broadcastsi128_si256(
                    _mm_load_si128(reinterpret_cast<const __m128i*>(feedback[j].high)));
                const __m256i product = _mm256_xor_si256(_mm256_shuffle_epi8(lowTable, low),
                                                         _mm256_shuffle_epi8(highTable, high));
                const __m256i next =
                    j + 1 < e ? _mm256_loadu_si256(
                                    reinterpret_cast<const __m256i*>(remainder + (j + 1) * stride))
                              : _mm256_setzero_si256();
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(remainder + j * stride),
                                    _mm256_xor_si256(next, product));
            }
        }
    }
}

Kernel Fastest()
{
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) return Kernel::Avx2;
    if (__builtin_cpu_supports("ssse3")) return Kernel::Ssse3;
    return Kernel::Plain;
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

Kernel Active(int lanes)
{
    static const Kernel fastest = Fastest();
    if (forcedKernel >= 0) return static_cast<Kernel>(forcedKernel);
    return lanes <= 4 ? Kernel::Plain : fastest;
}

bool ForceKernel(Kernel kernel)
{
    if (!Supported(kernel)) return false;
    forcedKernel = static_cast<int>(kernel);
    return true;
}

void UseFastestKernel() { forcedKernel = -1; }

GeneratorTables MakeGeneratorTables(std::vector<NibbleProducts> feedback)
{
    GeneratorTables tables;
    tables.feedback = std::move(feedback);
    const int e = tables.CheckLength();
    tables.rowBytes = (e + 7) / 8 * 8;
    tables.plainRows.assign(static_cast<std::size_t>(32) * tables.rowBytes, 0);
    for (int n = 0; n < 16; ++n)
        for (int j = 0; j < e; ++j) {
            const NibbleProducts& p = tables.feedback[static_cast<std::size_t>(j)];
            tables.plainRows[static_cast<std::size_t>(n) * tables.rowBytes + j] = p.low[n];
            tables.plainRows[static_cast<std::size_t>(16 + n) * tables.rowBytes + j] = p.high[n];
        }
    return tables;
}

void Divide(Kernel kernel, const GeneratorTables& tables, const std::uint8_t* rows, int k,
            int stride, int lanes, std::uint8_t* parity)
{
    switch (kernel) {
#ifdef VEMORA_GF_X86
    case Kernel::Avx2:
        DivideAvx2(tables, rows, k, stride, lanes, parity);
        return;
    case Kernel::Ssse3:
        DivideSsse3(tables, rows, k, stride, lanes, parity);
        return;
#endif
    default:
        DividePlain(tables, rows, k, stride, lanes, parity);
        return;
    }
}

} // namespace GfKernels
