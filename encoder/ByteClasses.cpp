#include "ByteClasses.h"

#include <array>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VEMORA_BYTES_X86 1
#endif

#include "KernelChoice.h"

namespace ByteClasses {
namespace {

// The classes a kernel finds in 64 bytes, one word per class.
enum RawClass {
    Digit,        // 30-39
    Alphanumeric, // Table 5
    High,         // 80-FF: every Shift JIS lead byte is one
    Lead,         // Shift JIS lead bytes 81-9F and E0-FC: open a two-byte character
    // With the byte before it, a kanji character (clsQRCode::IsKanjiPair): a
    // trail of 40-FF after 81-9F or E0-EA, or of 40-BF after EB.
    KanjiTrail,
    RawClasses
};
using Raw = std::array<std::uint64_t, RawClasses>;

// Each byte's classes for the plain kernel, as bits by ByteBit.
enum ByteBit {
    DigitBit,
    AlphanumericBit,
    HighBit,
    LeadBit,
    KanjiLeadBit,
    LeadEBBit,
    TrailBit,
    TrailBelowC0Bit
};
constexpr auto kClassBits = [] {
    std::array<std::uint8_t, 256> table{};
    const char others[] = " $%*+-./:";
    for (int b = 0; b < 256; ++b) {
        const bool digit = b >= '0' && b <= '9';
        bool alphanumeric = digit || (b >= 'A' && b <= 'Z');
        for (int i = 0; others[i] != 0; ++i) alphanumeric |= b == others[i];
        const bool kanjiLead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEA);
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        table[b] = static_cast<std::uint8_t>(
            digit << DigitBit | alphanumeric << AlphanumericBit | (b >= 0x80) << HighBit |
            lead << LeadBit | kanjiLead << KanjiLeadBit | (b == 0xEB) << LeadEBBit |
            (b >= 0x40) << TrailBit | (b >= 0x40 && b <= 0xBF) << TrailBelowC0Bit);
    }
    return table;
}();

// Every kernel takes 64 bytes and fills the words of one part of the classes,
// the others left 0: the basic ones (Digit to High), or the Shift JIS ones
// (Lead, KanjiTrail), which only a word with a high byte or with a character
// opened by the word before needs. The Shift JIS part reads bytes[-1] too,
// the byte before the word (0 before the message).
enum class Part { Basic, ShiftJis };

template <Part P>
Raw ClassifyPlain(const std::uint8_t* bytes)
{
    Raw raw{};
    for (int i = 0; i < 64; ++i) {
        const unsigned bits = kClassBits[bytes[i]];
        const auto set = [&](int c, bool on) { raw[c] |= static_cast<std::uint64_t>(on) << i; };
        if constexpr (P == Part::Basic) {
            set(Digit, bits >> DigitBit & 1);
            set(Alphanumeric, bits >> AlphanumericBit & 1);
            set(High, bits >> HighBit & 1);
        } else {
            const unsigned before = kClassBits[bytes[i - 1]];
            set(Lead, bits >> LeadBit & 1);
            set(KanjiTrail, ((before >> KanjiLeadBit & bits >> TrailBit) |
                             (before >> LeadEBBit & bits >> TrailBelowC0Bit)) &
                                1);
        }
    }
    return raw;
}

#ifdef VEMORA_BYTES_X86

// Bytes of x in [lo, hi]: x - lo, wrapping, is at most hi - lo exactly then.
__m128i InRange(__m128i x, int lo, int hi)
{
    const __m128i offset = _mm_sub_epi8(x, _mm_set1_epi8(static_cast<char>(lo)));
    return _mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(static_cast<char>(hi - lo))), offset);
}

std::uint64_t Bits(__m128i mask, int quarter)
{
    return static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(mask)))
           << (16 * quarter);
}

template <Part P>
Raw ClassifySse2(const std::uint8_t* bytes)
{
    Raw raw{};
    for (int q = 0; q < 4; ++q) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * q));
        if constexpr (P == Part::Basic) {
            const __m128i digit = InRange(x, '0', '9');
            // Table 5 beside the digits: A-Z, space, $ %, * +, - . /, and ':'
            // right after '9'.
            const __m128i alphanumeric = _mm_or_si128(
                _mm_or_si128(InRange(x, 'A', 'Z'), InRange(x, '0', ':')),
                _mm_or_si128(
                    _mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8(' ')), InRange(x, '$', '%')),
                    _mm_or_si128(InRange(x, '*', '+'), InRange(x, '-', '/'))));
            raw[Digit] |= Bits(digit, q);
            raw[Alphanumeric] |= Bits(alphanumeric, q);
            raw[High] |= Bits(x, q);
        } else {
            // The bytes before x's, from one byte further back.
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * q - 1));
            const __m128i low = InRange(x, 0x81, 0x9F);
            raw[Lead] |= Bits(_mm_or_si128(low, InRange(x, 0xE0, 0xFC)), q);
            const __m128i kanjiLead = _mm_or_si128(InRange(b, 0x81, 0x9F), InRange(b, 0xE0, 0xEA));
            const __m128i leadEB = _mm_cmpeq_epi8(b, _mm_set1_epi8(static_cast<char>(0xEB)));
            raw[KanjiTrail] |= Bits(_mm_or_si128(_mm_and_si128(kanjiLead, InRange(x, 0x40, 0xFF)),
                                                 _mm_and_si128(leadEB, InRange(x, 0x40, 0xBF))),
                                    q);
        }
    }
    return raw;
}

// Bytes of x in [lo, hi], 32 at a time: x - lo + 128, wrapping, is below
// hi - lo + 1 - 128 as a signed byte exactly then, one addition and one
// signed comparison.
__attribute__((target("avx2"))) inline __m256i InRange32(__m256i x, int lo, int hi)
{
    const __m256i shifted = _mm256_add_epi8(x, _mm256_set1_epi8(static_cast<char>(128 - lo)));
    return _mm256_cmpgt_epi8(_mm256_set1_epi8(static_cast<char>(hi - lo + 1 - 128)), shifted);
}

// 32 lanes of a mask as the bits 32 * half ..
__attribute__((target("avx2"))) inline std::uint64_t Bits32(__m256i mask, int half)
{
    return static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(mask)))
           << (32 * half);
}

// The SSE2 kernel's tests 32 bytes to an instruction.
template <Part P>
__attribute__((target("avx2"))) Raw ClassifyAvx2(const std::uint8_t* bytes)
{
    Raw raw{};
    for (int h = 0; h < 2; ++h) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + 32 * h));
        if constexpr (P == Part::Basic) {
            const __m256i alphanumeric = _mm256_or_si256(
                _mm256_or_si256(InRange32(x, 'A', 'Z'), InRange32(x, '0', ':')),
                _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi8(x, _mm256_set1_epi8(' ')),
                                                InRange32(x, '$', '%')),
                                _mm256_or_si256(InRange32(x, '*', '+'), InRange32(x, '-', '/'))));
            raw[Digit] |= Bits32(InRange32(x, '0', '9'), h);
            raw[Alphanumeric] |= Bits32(alphanumeric, h);
            raw[High] |= Bits32(x, h);
        } else {
            const __m256i b =
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + 32 * h - 1));
            const __m256i low = InRange32(x, 0x81, 0x9F);
            raw[Lead] |= Bits32(_mm256_or_si256(low, InRange32(x, 0xE0, 0xFC)), h);
            const __m256i kanjiLead =
                _mm256_or_si256(InRange32(b, 0x81, 0x9F), InRange32(b, 0xE0, 0xEA));
            const __m256i leadEB = _mm256_cmpeq_epi8(b, _mm256_set1_epi8(static_cast<char>(0xEB)));
            raw[KanjiTrail] |=
                Bits32(_mm256_or_si256(_mm256_and_si256(kanjiLead, InRange32(x, 0x40, 0xFF)),
                                       _mm256_and_si256(leadEB, InRange32(x, 0x40, 0xBF))),
                       h);
        }
    }
    return raw;
}

Kernel Fastest()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? Kernel::Avx2 : Kernel::Sse2;
}

#else

Kernel Fastest() { return Kernel::Plain; }

#endif

// The lead bytes that open a two-byte character, from the word's lead bytes
// and whether its byte 0 is the trail of a character opened by the word
// before. Bit 0 then leaves the lead runs; each remaining run starts at a
// character boundary. Adding the run's first bit to a run that starts at an
// odd bit carries through it and clears it, which tells the runs starting at
// odd bits from those starting at even bits; their openers are their bits at
// odd and even positions.
std::uint64_t Openers(std::uint64_t leads, bool firstIsTrail)
{
    constexpr std::uint64_t even = 0x5555555555555555ull;
    const std::uint64_t l = leads & ~static_cast<std::uint64_t>(firstIsTrail);
    const std::uint64_t starts = l & ~(l << 1);
    const std::uint64_t oddRuns = l & ~(l + (starts & ~even));
    return ((l & ~oddRuns) & even) | (oddRuns & ~even);
}

// The masks of data[0 .. n-1] from a kernel's classes 64 bytes at a time.
// Inlined into each kernel's entry below, so that its vectors and the word
// arithmetic share one function compiled for the kernel's instructions.
template <Raw (*Basic)(const std::uint8_t*), Raw (*ShiftJis)(const std::uint8_t*), bool Kanji>
__attribute__((always_inline)) inline void ClassifyWith(const std::uint8_t* data, int n, Masks& out)
{
    out.words = (n + 63) / 64;
    std::uint64_t openedBefore = 0; // bit 63 of the word before
    for (int w = 0; w < out.words; ++w) {
        const int count = n - 64 * w < 64 ? n - 64 * w : 64;
        const std::uint8_t* bytes = data + 64 * w;
        // The kernels read whole words and the byte before: the first and
        // the last word from a copy, padded with zeros.
        std::uint8_t copy[65];
        if (count < 64 || w == 0) {
            copy[0] = w > 0 ? bytes[-1] : 0;
            std::memcpy(copy + 1, bytes, static_cast<std::size_t>(count));
            std::memset(copy + 1 + count, 0, static_cast<std::size_t>(64 - count));
            bytes = copy + 1;
        }
        Raw raw = Basic(bytes);
        // A word of bytes below 80 after one that opened no character has
        // no two-byte character: its Shift JIS classes are not needed.
        const bool shiftJis = Kanji && (raw[High] != 0 || openedBefore != 0);
        if (shiftJis) {
            const Raw more = ShiftJis(bytes);
            raw[Lead] = more[Lead];
            raw[KanjiTrail] = more[KanjiTrail];
        }
        const std::uint64_t inside = count == 64 ? ~0ull : (1ull << count) - 1;
        for (auto& word : raw) word &= inside;
        out.digit[w] = raw[Digit];
        out.alphanumeric[w] = raw[Alphanumeric];
        out.kanjiPair[w] = 0;
        if (shiftJis) {
            // The message's last byte opens nothing: it is a character alone.
            const std::uint64_t last = w + 1 == out.words ? 1ull << (count - 1) : 0;
            const std::uint64_t opens = Openers(raw[Lead], openedBefore != 0) & ~last;
            const std::uint64_t trails = (opens << 1 | openedBefore) & raw[KanjiTrail];
            out.byteOnly[w] = inside & ~(raw[Alphanumeric] | trails | opens);
            out.kanjiPair[w] = trails | trails >> 1;
            if (w > 0) out.kanjiPair[w - 1] |= trails << 63;
            openedBefore = opens >> 63;
        } else {
            out.byteOnly[w] = inside & ~raw[Alphanumeric];
            openedBefore = 0;
        }
    }
}

template <bool Kanji>
void ClassifyAllPlain(const std::uint8_t* data, int n, Masks& out)
{
    ClassifyWith<ClassifyPlain<Part::Basic>, ClassifyPlain<Part::ShiftJis>, Kanji>(data, n, out);
}

#ifdef VEMORA_BYTES_X86

template <bool Kanji>
void ClassifyAllSse2(const std::uint8_t* data, int n, Masks& out)
{
    ClassifyWith<ClassifySse2<Part::Basic>, ClassifySse2<Part::ShiftJis>, Kanji>(data, n, out);
}

template <bool Kanji>
__attribute__((target("avx2"), flatten)) void ClassifyAllAvx2(const std::uint8_t* data, int n,
                                                              Masks& out)
{
    ClassifyWith<ClassifyAvx2<Part::Basic>, ClassifyAvx2<Part::ShiftJis>, Kanji>(data, n, out);
}

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

void Classify(const std::uint8_t* data, int n, bool kanji, Masks& out)
{
    switch (Active()) {
#ifdef VEMORA_BYTES_X86
    case Kernel::Avx2:
        return kanji ? ClassifyAllAvx2<true>(data, n, out) : ClassifyAllAvx2<false>(data, n, out);
    case Kernel::Sse2:
        return kanji ? ClassifyAllSse2<true>(data, n, out) : ClassifyAllSse2<false>(data, n, out);
#endif
    default:
        return kanji ? ClassifyAllPlain<true>(data, n, out) : ClassifyAllPlain<false>(data, n, out);
    }
}

} // namespace ByteClasses
