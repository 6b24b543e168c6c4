#include "ByteClasses.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

using ByteClasses::Kernel;

constexpr Kernel kKernels[] = {Kernel::Plain, Kernel::Sse2, Kernel::Avx2};
constexpr const char* kKernelNames[] = {"plain", "SSE2", "AVX2"};

struct KernelGuard {
    ~KernelGuard() { ByteClasses::UseFastestKernel(); }
};

void ExpectSame(const ByteClasses::Masks& a, const ByteClasses::Masks& b, int n, bool kanji,
                const char* kernel)
{
    ASSERT_EQ(a.words, b.words);
    for (int w = 0; w < a.words; ++w) {
        SCOPED_TRACE(testing::Message()
                     << kernel << ", word " << w << " of " << n << " bytes, kanji " << kanji);
        EXPECT_EQ(a.digit[w], b.digit[w]);
        EXPECT_EQ(a.alphanumeric[w], b.alphanumeric[w]);
        EXPECT_EQ(a.kanjiPair[w], b.kanjiPair[w]);
        EXPECT_EQ(a.byteOnly[w], b.byteOnly[w]);
    }
}

TEST(ByteClassesTest, EveryKernelTheCpuRunsAgreesWithThePlainOne)
{
    KernelGuard guard;
    // Every byte value at every position of a word, runs of Shift JIS lead
    // bytes of both parities across word boundaries, and every tail length.
    std::mt19937 random(21);
    const std::uint8_t leads[] = {0x81, 0x9F, 0xE0, 0xEA, 0xEB, 0xFC, 0x80, 0xA0};
    for (int trial = 0; trial < 400; ++trial) {
        const int n = trial < 256 ? 256 + trial % 64 : 1 + static_cast<int>(random() % 700);
        std::vector<std::uint8_t> data(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            data[i] = trial < 256 ? static_cast<std::uint8_t>(i * 7 + trial)
                      : random() % 3 == 0 ? leads[random() % 8]
                                          : static_cast<std::uint8_t>(random());
        for (const bool kanji : {true, false}) {
            ByteClasses::Masks plain;
            ASSERT_TRUE(ByteClasses::ForceKernel(Kernel::Plain));
            ByteClasses::Classify(data.data(), n, kanji, plain);
            for (int k = 1; k < 3; ++k) {
                if (!ByteClasses::ForceKernel(kKernels[k])) continue;
                ByteClasses::Masks fast;
                ByteClasses::Classify(data.data(), n, kanji, fast);
                ExpectSame(fast, plain, n, kanji, kKernelNames[k]);
            }
        }
    }
}

TEST(ByteClassesTest, AKanjiCharacterAmongLettersAtEveryPlaceOfAWord)
{
    // 81 41 is one kanji character whose trail is the letter A: wherever it
    // falls, across a word boundary too and before a word of letters alone,
    // exactly its two bytes are a kanji pair.
    KernelGuard guard;
    for (const Kernel k : kKernels) {
        if (!ByteClasses::ForceKernel(k)) continue;
        for (int p = 0; p < 199; ++p) {
            std::vector<std::uint8_t> data(200, 'A');
            data[p] = 0x81;
            ByteClasses::Masks masks;
            ByteClasses::Classify(data.data(), 200, true, masks);
            for (int i = 0; i < 200; ++i)
                ASSERT_EQ((masks.kanjiPair[i / 64] >> (i % 64)) & 1, i == p || i == p + 1 ? 1u : 0u)
                    << kKernelNames[static_cast<int>(k)] << ", lead at " << p << ", byte " << i;
        }
    }
}

TEST(ByteClassesTest, TheFastestKernelTheCpuRunsIsChosen)
{
    KernelGuard guard;
    EXPECT_TRUE(ByteClasses::Supported(Kernel::Plain));
#if defined(__x86_64__)
    // SSE2 is part of x86-64; AVX2 where the CPU and the system have it (the
    // runs under qemu-user as a Westmere and a qemu64 take the SSE2 kernel).
    __builtin_cpu_init();
    const Kernel fastest = __builtin_cpu_supports("avx2") ? Kernel::Avx2 : Kernel::Sse2;
#else
    const Kernel fastest = Kernel::Plain;
#endif
    EXPECT_EQ(ByteClasses::Active(), fastest);
    for (const Kernel k : kKernels) {
        const bool supported = static_cast<int>(k) <= static_cast<int>(fastest);
        EXPECT_EQ(ByteClasses::Supported(k), supported);
        EXPECT_EQ(ByteClasses::ForceKernel(k), supported);
        if (supported) {
            EXPECT_EQ(ByteClasses::Active(), k);
        }
    }
    ByteClasses::UseFastestKernel();
    EXPECT_EQ(ByteClasses::Active(), fastest);
}

} // namespace
