#include "StreamKernels.h"

#include <bit>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VEMORA_STREAM_X86 1
#endif

#include "KernelChoice.h"

namespace StreamKernels {
namespace {

// Three digits as their number, 0..999 (7.4.4).
std::uint64_t DigitGroup(const std::uint8_t* digits)
{
    return 100u * (digits[0] & 0x0Fu) + 10u * (digits[1] & 0x0Fu) + (digits[2] & 0x0Fu);
}

void PackDigitsPlain(const std::uint8_t* digits, int count, std::uint64_t* fields)
{
    for (int f = 0; f < count; ++f, digits += DigitsPerField)
        fields[f] = DigitGroup(digits) << 30 | DigitGroup(digits + 3) << 20 |
                    DigitGroup(digits + 6) << 10 | DigitGroup(digits + 9);
}

// Seven stream bytes a step from one big-endian word of eight message bytes;
// the rest one by one.
void ShiftBytesPlain(const std::uint8_t* bytes, int count, int offset, std::uint8_t* out)
{
    int k = 0;
    for (; k + 8 <= count; k += 7) {
        std::uint64_t word;
        std::memcpy(&word, bytes + k, 8);
        if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
        word <<= 8 - offset;
        if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
        std::memcpy(out + k, &word, 7);
    }
    for (; k + 1 < count; ++k)
        out[k] = static_cast<std::uint8_t>(bytes[k] << (8 - offset) | bytes[k + 1] >> offset);
}

#ifdef VEMORA_STREAM_X86

// The four groups of 12 digits in the low 12 bytes of x as one 40-bit field:
// each group's bytes d0 d1 d2 and a zero in a 32-bit lane, 10 d0 + d1 and d2
// in its 16-bit halves, the group in the lane, then pairs of groups.
__attribute__((target("ssse3"))) inline __m128i GroupPairs(__m128i x)
{
    const __m128i lanes = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i digits = _mm_shuffle_epi8(_mm_and_si128(x, _mm_set1_epi8(0x0F)), lanes);
    const __m128i tens = _mm_maddubs_epi16(
        digits, _mm_setr_epi8(10, 1, 1, 0, 10, 1, 1, 0, 10, 1, 1, 0, 10, 1, 1, 0));
    const __m128i groups = _mm_madd_epi16(tens, _mm_setr_epi16(10, 1, 10, 1, 10, 1, 10, 1));
    // 1024 g0 + g1 and 1024 g2 + g3 in the low two 32-bit lanes.
    return _mm_madd_epi16(_mm_packs_epi32(groups, groups),
                          _mm_setr_epi16(1024, 1, 1024, 1, 1024, 1, 1024, 1));
}

__attribute__((target("ssse3"))) void PackDigitsSsse3(const std::uint8_t* digits, int count,
                                                      std::uint64_t* fields)
{
    for (int f = 0; f < count; ++f, digits += DigitsPerField) {
        const std::uint64_t pairs = static_cast<std::uint64_t>(_mm_cvtsi128_si64(
            GroupPairs(_mm_loadu_si128(reinterpret_cast<const __m128i*>(digits)))));
        fields[f] = (pairs & 0xFFFFFFFF) << 20 | pairs >> 32;
    }
}

__attribute__((target("avx2"))) void PackDigitsAvx2(const std::uint8_t* digits, int count,
                                                    std::uint64_t* fields)
{
    const __m256i lanes = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1, 0,
                                           1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m256i tenOne = _mm256_setr_epi8(10, 1, 1, 0, 10, 1, 1, 0, 10, 1, 1, 0, 10, 1, 1, 0, 10,
                                            1, 1, 0, 10, 1, 1, 0, 10, 1, 1, 0, 10, 1, 1, 0);
    int f = 0;
    for (; f + 2 <= count; f += 2, digits += 2 * DigitsPerField) {
        // Two fields' digits, one in each 128-bit half, where VPSHUFB works.
        const __m256i x = _mm256_inserti128_si256(
            _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(digits))),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(digits + DigitsPerField)), 1);
        const __m256i d = _mm256_shuffle_epi8(_mm256_and_si256(x, _mm256_set1_epi8(0x0F)), lanes);
        const __m256i groups =
            _mm256_madd_epi16(_mm256_maddubs_epi16(d, tenOne), _mm256_set1_epi32(0x0001000A));
        const __m256i pairs =
            _mm256_madd_epi16(_mm256_packs_epi32(groups, groups), _mm256_set1_epi32(0x00010400));
        const __m256i field = _mm256_or_si256(
            _mm256_slli_epi64(_mm256_and_si256(pairs, _mm256_set1_epi64x(0xFFFFFFFF)), 20),
            _mm256_srli_epi64(pairs, 32));
        // The fields are 64-bit elements 0 and 2.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(fields + f),
                         _mm256_castsi256_si128(_mm256_permute4x64_epi64(field, 0x08)));
    }
    if (f < count) PackDigitsSsse3(digits, count - f, fields + f);
}

// 16 stream bytes a step: each byte's high bits shifted up, the next byte's
// shifted down, in 16-bit lanes, the bits crossing into the neighbour byte
// masked off.
void ShiftBytesSse2(const std::uint8_t* bytes, int count, int offset, std::uint8_t* out)
{
    const __m128i up = _mm_cvtsi32_si128(8 - offset), down = _mm_cvtsi32_si128(offset);
    const __m128i highMask = _mm_set1_epi8(static_cast<char>((0xFF << (8 - offset)) & 0xFF));
    const __m128i lowMask = _mm_set1_epi8(static_cast<char>(0xFF >> offset));
    int k = 0;
    for (; k + 17 <= count; k += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + k));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + k + 1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k),
                         _mm_or_si128(_mm_and_si128(_mm_sll_epi16(a, up), highMask),
                                      _mm_and_si128(_mm_srl_epi16(b, down), lowMask)));
    }
    ShiftBytesPlain(bytes + k, count - k, offset, out + k);
}

__attribute__((target("avx2"))) void ShiftBytesAvx2(const std::uint8_t* bytes, int count,
                                                    int offset, std::uint8_t* out)
{
    const __m128i up = _mm_cvtsi32_si128(8 - offset), down = _mm_cvtsi32_si128(offset);
    const __m256i highMask = _mm256_set1_epi8(static_cast<char>((0xFF << (8 - offset)) & 0xFF));
    const __m256i lowMask = _mm256_set1_epi8(static_cast<char>(0xFF >> offset));
    int k = 0;
    for (; k + 33 <= count; k += 32) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + k));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + k + 1));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + k),
                            _mm256_or_si256(_mm256_and_si256(_mm256_sll_epi16(a, up), highMask),
                                            _mm256_and_si256(_mm256_srl_epi16(b, down), lowMask)));
    }
    ShiftBytesSse2(bytes + k, count - k, offset, out + k);
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

void PackDigits(Kernel kernel, const std::uint8_t* digits, int count, std::uint64_t* fields)
{
    switch (kernel) {
#ifdef VEMORA_STREAM_X86
    case Kernel::Avx2:
        PackDigitsAvx2(digits, count, fields);
        return;
    case Kernel::Ssse3:
        PackDigitsSsse3(digits, count, fields);
        return;
#endif
    default:
        PackDigitsPlain(digits, count, fields);
        return;
    }
}

void ShiftBytes(Kernel kernel, const std::uint8_t* bytes, int count, int offset, std::uint8_t* out)
{
    switch (kernel) {
#ifdef VEMORA_STREAM_X86
    case Kernel::Avx2:
        ShiftBytesAvx2(bytes, count, offset, out);
        return;
    case Kernel::Ssse3:
        ShiftBytesSse2(bytes, count, offset, out);
        return;
#endif
    default:
        ShiftBytesPlain(bytes, count, offset, out);
        return;
    }
}

} // namespace StreamKernels
