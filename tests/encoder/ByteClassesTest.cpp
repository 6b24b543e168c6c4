#include "ByteClasses.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

using ByteClasses::Kernel;

struct KernelGuard {
    ~KernelGuard() { ByteClasses::UseFastestKernel(); }
};

void ExpectSame(const ByteClasses::Masks& a, const ByteClasses::Masks& b, int n, bool kanji)
{
    ASSERT_EQ(a.words, b.words);
    for (int w = 0; w < a.words; ++w) {
        EXPECT_EQ(a.digit[w], b.digit[w]) << "word " << w << " of " << n << ", kanji " << kanji;
        EXPECT_EQ(a.alphanumeric[w], b.alphanumeric[w]) << "word " << w << " of " << n;
        EXPECT_EQ(a.kanjiPair[w], b.kanjiPair[w]) << "word " << w << " of " << n;
        EXPECT_EQ(a.byteOnly[w], b.byteOnly[w]) << "word " << w << " of " << n;
    }
}

TEST(ByteClassesTest, TheFastestKernelRunsAndAgreesWithThePlainOne)
{
    KernelGuard guard;
#if defined(__x86_64__)
    // SSE2 is part of x86-64: the vector kernel is what runs here.
    EXPECT_EQ(ByteClasses::Active(), Kernel::Sse2);
#else
    EXPECT_EQ(ByteClasses::Active(), Kernel::Plain);
#endif
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
            ByteClasses::Masks fast, plain;
            ByteClasses::Classify(data.data(), n, kanji, fast);
            ASSERT_TRUE(ByteClasses::ForceKernel(Kernel::Plain));
            EXPECT_EQ(ByteClasses::Active(), Kernel::Plain);
            ByteClasses::Classify(data.data(), n, kanji, plain);
            ByteClasses::UseFastestKernel();
            ExpectSame(fast, plain, n, kanji);
        }
    }
}

} // namespace
