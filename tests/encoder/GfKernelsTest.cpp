#include "GfKernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "ZxingReader.h"
#include "clsFiniteField.h"
#include "clsQRCode.h"
#include "clsReedSolomon.h"

namespace {

using GfKernels::Kernel;

constexpr Kernel kKernels[] = {Kernel::Plain, Kernel::Ssse3, Kernel::Avx2, Kernel::Gfni};
constexpr const char* kKernelNames[] = {"plain", "SSSE3", "AVX2", "GFNI"};
constexpr int kKernelCount = 4;

// Restores the choice by CPU however a test ends.
struct KernelGuard {
    ~KernelGuard() { GfKernels::UseFastestKernel(); }
};

int Stride(int lanes)
{
    return (lanes + GfKernels::LaneAlignment - 1) / GfKernels::LaneAlignment *
           GfKernels::LaneAlignment;
}

// Blocks of random data, aligned at the top: the first shortBlocks carry one
// data symbol fewer and start with a zero, as the QR encoder hands them over.
std::vector<std::uint8_t> RandomRows(std::mt19937& random, int k, int lanes, int shortBlocks)
{
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(k) * Stride(lanes), 0);
    for (int r = 0; r < k; ++r)
        for (int b = 0; b < lanes; ++b)
            if (r > 0 || b >= shortBlocks)
                rows[static_cast<std::size_t>(r) * Stride(lanes) + b] =
                    static_cast<std::uint8_t>(random());
    return rows;
}

// The parity of every lane by the reference loop (EncodeBlock), same layout.
std::vector<std::uint8_t> ReferenceParity(const clsReedSolomon& coder,
                                          const std::vector<std::uint8_t>& rows, int lanes)
{
    const int k = coder.DataLength();
    const int e = coder.CheckLength();
    std::vector<std::uint8_t> parity(static_cast<std::size_t>(e) * Stride(lanes), 0);
    for (int b = 0; b < lanes; ++b) {
        std::vector<std::int32_t> block(static_cast<std::size_t>(k + e), 0);
        for (int r = 0; r < k; ++r)
            block[static_cast<std::size_t>(e + k - 1 - r)] =
                rows[static_cast<std::size_t>(r) * Stride(lanes) + b];
        coder.EncodeBlock(block.data());
        for (int j = 0; j < e; ++j)
            parity[static_cast<std::size_t>(j) * Stride(lanes) + b] =
                static_cast<std::uint8_t>(block[static_cast<std::size_t>(e - 1 - j)]);
    }
    return parity;
}

// Only the first lanes bytes of each row are the result; the rest is scratch.
void ExpectSameParity(const std::vector<std::uint8_t>& expected,
                      const std::vector<std::uint8_t>& actual, int e, int lanes,
                      const std::string& what)
{
    for (int j = 0; j < e; ++j)
        for (int b = 0; b < lanes; ++b) {
            const std::size_t at = static_cast<std::size_t>(j) * Stride(lanes) + b;
            ASSERT_EQ(expected[at], actual[at]) << what << ", parity " << j << ", block " << b;
        }
}

TEST(GfKernelsTest, EveryKernelMatchesTheReferenceOnEveryQrBlockStructure)
{
    // The 160 version/level pairs of ISO/IEC 18004 Table 9, with their short
    // and long blocks, through clsReedSolomon::EncodeBlocks on each kernel
    // this CPU runs, against EncodeBlock block by block.
    KernelGuard guard;
    clsQRCode qr;
    clsFiniteField field;
    ASSERT_TRUE(field.InitField(256, 285, 2));
    std::mt19937 random(18004);
    int kernelsRun = 0;
    for (int version = 1; version <= 40; ++version)
        for (int level = 1; level <= 4; ++level) {
            const int blocks = qr.BlockCount(version, level);
            const int e = qr.EcCodewordsPerBlock(version, level);
            const int dataCodewords = qr.DataCodewords(version, level);
            const int n = (dataCodewords + blocks - 1) / blocks;
            const int shortBlocks =
                dataCodewords % blocks == 0 ? 0 : blocks - dataCodewords % blocks;
            clsReedSolomon coder;
            ASSERT_TRUE(coder.InitCode(n, e, &field, 0, 0));
            const auto rows = RandomRows(random, n, blocks, shortBlocks);
            const auto expected = ReferenceParity(coder, rows, blocks);
            // Each block on its own, in place, as one-block symbols take it.
            for (int b = 0; b < blocks; ++b) {
                std::vector<std::uint8_t> block(static_cast<std::size_t>(n + e), 0xA5);
                for (int r = 0; r < n; ++r)
                    block[static_cast<std::size_t>(r)] =
                        rows[static_cast<std::size_t>(r) * Stride(blocks) + b];
                ASSERT_TRUE(coder.EncodeByteBlock(block.data(), block.data() + n));
                for (int j = 0; j < e; ++j)
                    ASSERT_EQ(block[static_cast<std::size_t>(n + j)],
                              expected[static_cast<std::size_t>(j) * Stride(blocks) + b])
                        << "one block " << version << "-"
                        << "LMQH"[level - 1] << ", block " << b << ", parity " << j;
            }
            for (int i = 0; i < kKernelCount; ++i) {
                if (!GfKernels::ForceKernel(kKernels[i])) continue;
                ++kernelsRun;
                std::vector<std::uint8_t> parity(static_cast<std::size_t>(e) * Stride(blocks),
                                                 0xA5);
                ASSERT_TRUE(coder.EncodeBlocks(rows.data(), blocks, Stride(blocks), parity.data()));
                ExpectSameParity(expected, parity, e, blocks,
                                 std::string(kKernelNames[i]) + " " + std::to_string(version) +
                                     "-" + "LMQH"[level - 1]);
            }
        }
    EXPECT_GE(kernelsRun, 160) << "the plain kernel runs everywhere";
}

TEST(GfKernelsTest, KernelsAgreeOnOddLaneCountsAndCodeShapes)
{
    // Lane counts around the vector widths, one parity symbol, long blocks,
    // and other first roots and alphas than QR Code's.
    KernelGuard guard;
    clsFiniteField field;
    ASSERT_TRUE(field.InitField(256, 285, 2));
    std::mt19937 random(7);
    struct Shape {
        int k, e, lanes, alpha, firstRoot;
    };
    for (const Shape s :
         {Shape{1, 1, 1, 0, 0}, Shape{5, 1, 15, 0, 0}, Shape{16, 10, 16, 0, 0},
          Shape{20, 17, 17, 0, 0}, Shape{118, 30, 31, 0, 0}, Shape{15, 30, 33, 0, 0},
          Shape{200, 55, 65, 3, 1}, Shape{33, 16, 81, 0, 120}, Shape{3, 64, 96, 0, 0}}) {
        clsReedSolomon coder;
        ASSERT_TRUE(coder.InitCode(s.k, s.e, &field, s.alpha, s.firstRoot));
        const auto rows = RandomRows(random, s.k, s.lanes, 0);
        const auto expected = ReferenceParity(coder, rows, s.lanes);
        for (int i = 0; i < kKernelCount; ++i) {
            if (!GfKernels::ForceKernel(kKernels[i])) continue;
            std::vector<std::uint8_t> parity(static_cast<std::size_t>(s.e) * Stride(s.lanes), 0x5A);
            ASSERT_TRUE(coder.EncodeBlocks(rows.data(), s.lanes, Stride(s.lanes), parity.data()));
            ExpectSameParity(expected, parity, s.e, s.lanes,
                             std::string(kKernelNames[i]) + " k " + std::to_string(s.k) + " e " +
                                 std::to_string(s.e) + " lanes " + std::to_string(s.lanes));
        }
    }
}

TEST(GfKernelsTest, TablesThatAreNoFieldAreLeftToTheReferenceLoop)
{
    // x^8 + x^4 + x^3 + x + 1 is irreducible, but 2 is not primitive modulo
    // it: the logarithm tables then do not describe a field, multiplication by
    // them does not distribute, and only EncodeBlock gives the defined result.
    clsFiniteField notAField;
    ASSERT_TRUE(notAField.InitField(256, 0x11B, 2));
    clsReedSolomon coder;
    ASSERT_TRUE(coder.InitCode(10, 8, &notAField, 0, 0));
    std::vector<std::uint8_t> rows(10 * 32, 1), parity(8 * 32, 0x77);
    EXPECT_FALSE(coder.EncodeBlocks(rows.data(), 4, 32, parity.data()));
    EXPECT_FALSE(coder.EncodeByteBlock(rows.data(), parity.data()));
    EXPECT_FALSE(coder.EncodeInterleaved(rows.data(), {4, 0, 10}, parity.data()));
    EXPECT_EQ(parity, std::vector<std::uint8_t>(8 * 32, 0x77)) << "nothing written";

    clsFiniteField gf7;
    ASSERT_TRUE(gf7.InitField(7, 0, 0));
    ASSERT_TRUE(coder.InitCode(3, 3, &gf7, 0, 1));
    EXPECT_FALSE(coder.EncodeBlocks(rows.data(), 4, 32, parity.data()));

    clsReedSolomon fresh;
    EXPECT_FALSE(fresh.EncodeBlocks(rows.data(), 4, 32, parity.data())) << "before InitCode";
    EXPECT_FALSE(fresh.EncodeByteBlock(rows.data(), parity.data())) << "before InitCode";
}

TEST(GfKernelsTest, SymbolsAreTheSameAndReadBackOnThePlainPath)
{
    // A CPU without SSSE3 takes the plain kernel: every version and level
    // gives the same symbol on it as on the fastest kernel, and a reader
    // decodes the plain path's symbols.
    KernelGuard guard;
    clsQRCode qr;
    std::mt19937 random(40);
    for (int version = 1; version <= 40; ++version)
        for (int level = 1; level <= 4; ++level) {
            std::vector<std::uint8_t> message(
                static_cast<std::size_t>(qr.DataCodewords(version, level) - 3));
            for (auto& b : message) b = static_cast<std::uint8_t>('A' + random() % 26 + 32);
            GfKernels::UseFastestKernel();
            const auto fast = qr.EncodeMatrix(message.data(), static_cast<int>(message.size()),
                                              version, level, version % 8);
            ASSERT_TRUE(GfKernels::ForceKernel(Kernel::Plain));
            const auto plain = qr.EncodeMatrix(message.data(), static_cast<int>(message.size()),
                                               version, level, version % 8);
            ASSERT_TRUE(fast && plain);
            ASSERT_EQ(*fast, *plain) << version << "-"
                                     << "LMQH"[level - 1];
            if (version % 3 == 1) {
                const auto decoded = ReadSymbol(*plain);
                ASSERT_TRUE(decoded) << version << "-"
                                     << "LMQH"[level - 1];
                EXPECT_EQ(decoded->bytes, message);
            }
        }
}

TEST(GfKernelsTest, ForcingAKernelTheCpuLacksIsRefused)
{
    KernelGuard guard;
    EXPECT_TRUE(GfKernels::Supported(Kernel::Plain));
    EXPECT_TRUE(GfKernels::ForceKernel(Kernel::Plain));
    EXPECT_EQ(GfKernels::Active(), Kernel::Plain);
    for (const Kernel k : {Kernel::Ssse3, Kernel::Avx2, Kernel::Gfni}) {
        if (GfKernels::Supported(k)) continue;
        EXPECT_FALSE(GfKernels::ForceKernel(k));
        EXPECT_EQ(GfKernels::Active(), Kernel::Plain) << "the forced kernel stays";
    }
    GfKernels::UseFastestKernel();
    EXPECT_TRUE(GfKernels::Supported(GfKernels::Active()));
}

TEST(GfKernelsTest, TheChosenKernelIsTheOneThatRuns)
{
    // Each kernel leaves its own trace in the scratch lanes past the blocks:
    // for 5 blocks the plain kernel writes lanes 0-4, SSSE3 a vector of 16,
    // AVX2 and GFNI one of 32. Forced or chosen by the CPU (the fastest it has, as
    // the Westmere and qemu64 runs under qemu-user show), the kernel named
    // is the one whose trace appears.
    KernelGuard guard;
    clsFiniteField field;
    ASSERT_TRUE(field.InitField(256, 285, 2));
    clsReedSolomon coder;
    ASSERT_TRUE(coder.InitCode(10, 10, &field, 0, 0));
    std::mt19937 random(7);
    std::vector<std::uint8_t> rows(10 * 32);
    for (auto& b : rows) b = static_cast<std::uint8_t>(random() | 1);
    const auto lanesWritten = [&] {
        std::vector<std::uint8_t> parity(10 * 32, 0xA5);
        EXPECT_TRUE(coder.EncodeBlocks(rows.data(), 5, 32, parity.data()));
        int lanes = 0;
        for (int j = 0; j < 10; ++j)
            for (int b = 0; b < 32; ++b)
                if (parity[static_cast<std::size_t>(j) * 32 + b] != 0xA5)
                    lanes = std::max(lanes, b + 1);
        return lanes;
    };
    constexpr int kTrace[] = {5, 16, 32, 32};
    Kernel fastest = Kernel::Plain;
    for (int i = 0; i < kKernelCount; ++i) {
        if (!GfKernels::ForceKernel(kKernels[i])) continue;
        fastest = kKernels[i];
        EXPECT_EQ(lanesWritten(), kTrace[i]) << kKernelNames[i];
    }
    GfKernels::UseFastestKernel();
    EXPECT_EQ(GfKernels::Active(32), fastest);
    EXPECT_EQ(GfKernels::Active(1), Kernel::Plain) << "a few blocks go to the plain kernel";
}

TEST(GfKernelsTest, TheFastestKernelIsTheBestTheCpuReports)
{
    // Each kernel is supported exactly when the CPU reports what it runs on
    // (GCC reports AVX2 only where the system saves the AVX registers), and
    // the choice for many blocks is the best of them: GFNI before AVX2
    // before SSSE3 before plain.
    KernelGuard guard;
    GfKernels::UseFastestKernel();
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    const bool avx2 = __builtin_cpu_supports("avx2");
    const bool gfni = avx2 && __builtin_cpu_supports("gfni");
    const bool ssse3 = __builtin_cpu_supports("ssse3");
#else
    const bool avx2 = false, gfni = false, ssse3 = false;
#endif
    EXPECT_EQ(GfKernels::Supported(Kernel::Gfni), gfni);
    EXPECT_EQ(GfKernels::Supported(Kernel::Avx2), avx2);
    EXPECT_EQ(GfKernels::Supported(Kernel::Ssse3), ssse3);
    const Kernel best = gfni    ? Kernel::Gfni
                        : avx2  ? Kernel::Avx2
                        : ssse3 ? Kernel::Ssse3
                                : Kernel::Plain;
    EXPECT_EQ(GfKernels::Active(81), best);
    EXPECT_EQ(GfKernels::Active(5), best);
}

// Blocks of random data one after another, the short ones first; the
// interleaved sequence of 7.6 and every block's parity by EncodeBlock.
struct InterleavedCase {
    std::vector<std::uint8_t> data, expected;
};

InterleavedCase MakeInterleavedCase(std::mt19937& random, const clsReedSolomon& coder,
                                    const GfKernels::InterleavedBlocks& layout)
{
    const int n = layout.longData;
    const int e = coder.CheckLength();
    InterleavedCase c;
    std::vector<std::vector<std::uint8_t>> data(static_cast<std::size_t>(layout.blocks)),
        parity(data.size());
    for (std::size_t b = 0; b < data.size(); ++b) {
        data[b].resize(
            static_cast<std::size_t>(static_cast<int>(b) < layout.shortBlocks ? n - 1 : n));
        for (auto& x : data[b]) x = static_cast<std::uint8_t>(random());
        c.data.insert(c.data.end(), data[b].begin(), data[b].end());
        std::vector<std::int32_t> cw(static_cast<std::size_t>(n + e), 0);
        for (std::size_t i = 0; i < data[b].size(); ++i)
            cw[static_cast<std::size_t>(e) + data[b].size() - 1 - i] = data[b][i];
        coder.EncodeBlock(cw.data());
        for (int j = e - 1; j >= 0; --j)
            parity[b].push_back(static_cast<std::uint8_t>(cw[static_cast<std::size_t>(j)]));
    }
    // 7.6: data codeword i of every block that has one, then parity
    // codeword j of every block.
    for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i)
        for (const auto& block : data)
            if (i < block.size()) c.expected.push_back(block[i]);
    for (std::size_t j = 0; j < static_cast<std::size_t>(e); ++j)
        for (const auto& block : parity) c.expected.push_back(block[j]);
    return c;
}

// Interleaves and divides c on every kernel this CPU runs, into a buffer
// that must come out as c.expected with nothing written after it.
void ExpectInterleavedOnEveryKernel(const clsReedSolomon& coder,
                                    const GfKernels::InterleavedBlocks& layout,
                                    const InterleavedCase& c, const std::string& what)
{
    const int k = layout.DataCodewords();
    for (int i = 0; i < kKernelCount; ++i) {
        if (!GfKernels::ForceKernel(kKernels[i])) continue;
        std::vector<std::uint8_t> out(c.expected.size() + GfKernels::LaneAlignment, 0xA5);
        GfKernels::InterleaveData(kKernels[i], c.data.data(), layout, out.data());
        ASSERT_TRUE(coder.EncodeInterleaved(out.data(), layout, out.data() + k));
        const std::vector<std::uint8_t> tail(
            out.begin() + static_cast<std::ptrdiff_t>(c.expected.size()), out.end());
        out.resize(c.expected.size());
        ASSERT_EQ(out, c.expected) << kKernelNames[i] << " " << what;
        ASSERT_EQ(tail, std::vector<std::uint8_t>(GfKernels::LaneAlignment, 0xA5))
            << kKernelNames[i] << " " << what << ": written past the parity";
    }
}

TEST(GfKernelsTest, InterleavedDivisionMatchesTheReferenceOnEveryLayout)
{
    // Every multi-block version and level of Table 9, then layouts around
    // the tile and vector sizes: exactly one tile, one block or codeword
    // more, only long blocks, one-codeword short blocks, a parity that fills
    // the vector kernels' work area and ones too long for it.
    KernelGuard guard;
    clsQRCode qr;
    clsFiniteField field;
    ASSERT_TRUE(field.InitField(256, 285, 2));
    std::mt19937 random(76);
    for (int version = 1; version <= 40; ++version)
        for (int level = 1; level <= 4; ++level) {
            const int blocks = qr.BlockCount(version, level);
            if (blocks == 1) continue;
            const int dataCodewords = qr.DataCodewords(version, level);
            const GfKernels::InterleavedBlocks layout{
                blocks, dataCodewords % blocks == 0 ? 0 : blocks - dataCodewords % blocks,
                (dataCodewords + blocks - 1) / blocks};
            clsReedSolomon coder;
            ASSERT_TRUE(coder.InitCode(layout.longData, qr.EcCodewordsPerBlock(version, level),
                                       &field, 0, 0));
            ExpectInterleavedOnEveryKernel(coder, layout,
                                           MakeInterleavedCase(random, coder, layout),
                                           std::to_string(version) + "-" + "LMQH"[level - 1]);
        }
    struct Shape {
        GfKernels::InterleavedBlocks layout;
        int e;
    };
    for (const Shape s : {Shape{{16, 0, 8}, 7}, Shape{{16, 15, 9}, 10}, Shape{{17, 1, 10}, 3},
                          Shape{{33, 32, 20}, 30}, Shape{{81, 0, 2}, 4}, Shape{{40, 7, 2}, 1},
                          Shape{{20, 3, 5}, 64}, Shape{{5, 2, 30}, 70}, Shape{{70, 20, 12}, 65}}) {
        clsReedSolomon coder;
        ASSERT_TRUE(coder.InitCode(s.layout.longData, s.e, &field, 0, 0));
        ExpectInterleavedOnEveryKernel(
            coder, s.layout, MakeInterleavedCase(random, coder, s.layout),
            "blocks " + std::to_string(s.layout.blocks) + " short " +
                std::to_string(s.layout.shortBlocks) + " n " + std::to_string(s.layout.longData) +
                " e " + std::to_string(s.e));
    }
}

} // namespace
