#include "clsReedSolomon.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "clsFiniteField.h"

namespace {

class clsReedSolomonTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(field.InitField(256, 285, 2)); }

    // c(x) evaluated at x: an independent check that a block is a codeword.
    int Evaluate(const std::vector<std::int32_t>& c, int x) const
    {
        int sum = 0;
        for (int j = static_cast<int>(c.size()) - 1; j >= 0; --j)
            sum = field.Add(field.Multiply(sum, x), c[j]);
        return sum;
    }

    clsFiniteField field;
    clsReedSolomon coder;
};

TEST_F(clsReedSolomonTest, Version1MExampleOfTheStandard)
{
    ASSERT_TRUE(coder.InitCode(16, 10, &field, 0, 0));
    const int data[16] = {0x10, 0x20, 0x0C, 0x56, 0x61, 0x80, 0xEC, 0x11,
                          0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11};
    std::vector<std::int32_t> cw(256, 0);
    for (int i = 0; i < 16; ++i) cw[25 - i] = data[i];
    coder.EncodeBlock(cw.data());
    const int parity[10] = {0xA5, 0x24, 0xD4, 0xC1, 0xED, 0x36, 0xC7, 0x87, 0x2C, 0x55};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(cw[9 - i], parity[i]) << i;
    for (int i = 0; i < 16; ++i) EXPECT_EQ(cw[25 - i], data[i]) << "data unchanged";
}

TEST_F(clsReedSolomonTest, GeneratorPolynomialsOfAnnexA)
{
    ASSERT_TRUE(coder.InitCode(16, 7, &field, 0, 0));
    const int powers7[] = {0, 87, 229, 146, 149, 238, 102, 21}; // x^7 down to x^0
    for (int i = 0; i <= 7; ++i)
        EXPECT_EQ(coder.GeneratorCoefficient(7 - i), field.Exp(powers7[i])) << i;

    ASSERT_TRUE(coder.InitCode(16, 10, &field, 0, 0));
    const int powers10[] = {0, 251, 67, 46, 61, 118, 70, 64, 94, 32, 45};
    for (int i = 0; i <= 10; ++i)
        EXPECT_EQ(coder.GeneratorCoefficient(10 - i), field.Exp(powers10[i])) << i;
    for (int j = 11; j < clsReedSolomon::MaxBlockLength; ++j)
        ASSERT_EQ(coder.GeneratorCoefficient(j), 0) << j;
    EXPECT_EQ(coder.DataLength(), 16);
    EXPECT_EQ(coder.CheckLength(), 10);
    EXPECT_EQ(coder.Alpha(), 2);
    EXPECT_EQ(coder.FirstRoot(), 0);
}

TEST_F(clsReedSolomonTest, SingleParitySymbolIsXMinusTheFirstRoot)
{
    ASSERT_TRUE(coder.InitCode(5, 1, &field, 0, 9));
    EXPECT_EQ(coder.GeneratorCoefficient(1), 1);
    EXPECT_EQ(coder.GeneratorCoefficient(0), field.Exp(9));
}

TEST_F(clsReedSolomonTest, RefusesBadCodesAndKeepsThePrevious)
{
    ASSERT_TRUE(coder.InitCode(1000, 24, &field, 0, 0));
    EXPECT_FALSE(coder.InitCode(1001, 24, &field, 0, 0));
    EXPECT_FALSE(coder.InitCode(0, 10, &field, 0, 0));
    EXPECT_FALSE(coder.InitCode(10, 0, &field, 0, 0));
    EXPECT_FALSE(coder.InitCode(10, 10, &field, 0, -1));
    EXPECT_EQ(coder.DataLength(), 1000);
    EXPECT_EQ(coder.CheckLength(), 24);

    clsReedSolomon fresh;
    EXPECT_FALSE(fresh.InitCode(10, 10, nullptr, 0, 0)) << "no field at all";
}

TEST_F(clsReedSolomonTest, EncodeBeforeInitChangesNothing)
{
    std::vector<std::int32_t> cw(64, 7);
    coder.EncodeBlock(cw.data());
    EXPECT_EQ(cw, std::vector<std::int32_t>(64, 7));
}

TEST_F(clsReedSolomonTest, EveryBlockIsACodewordOfTheGenerator)
{
    // Syndrome check: c(alpha^(b+i)) = 0 for the e roots, for random data, for
    // the QR codes (b = 0) and others (b > 0, another alpha).
    std::mt19937 random(18004);
    struct Code {
        int k, e, alpha, firstRoot;
    };
    for (const Code code : {Code{16, 10, 0, 0}, Code{117, 30, 0, 0}, Code{1, 17, 0, 0},
                            Code{200, 55, 0, 0}, Code{50, 8, 3, 1}, Code{33, 16, 0, 120}}) {
        ASSERT_TRUE(coder.InitCode(code.k, code.e, &field, code.alpha, code.firstRoot));
        for (int trial = 0; trial < 20; ++trial) {
            std::vector<std::int32_t> cw(code.k + code.e, 0);
            for (int j = code.e; j < code.k + code.e; ++j) cw[j] = static_cast<int>(random() % 256);
            coder.EncodeBlock(cw.data());
            const int alpha = coder.Alpha();
            for (int i = 0; i < code.e; ++i) {
                int root = 1;
                for (int p = 0; p < code.firstRoot + i; ++p) root = field.Multiply(root, alpha);
                ASSERT_EQ(Evaluate(cw, root), 0)
                    << "k " << code.k << " e " << code.e << " root " << i;
            }
        }
    }
}

TEST_F(clsReedSolomonTest, ShortBlockWithZeroLeadEqualsShorterCode)
{
    std::mt19937 random(7);
    std::vector<std::int32_t> data(14);
    for (auto& d : data) d = static_cast<int>(random() % 256);

    ASSERT_TRUE(coder.InitCode(15, 18, &field, 0, 0));
    std::vector<std::int32_t> padded(256, 0);
    for (int i = 0; i < 14; ++i) padded[18 + i] = data[i];
    padded[18 + 14] = 0; // the leading coefficient of the shortened block
    coder.EncodeBlock(padded.data());

    clsReedSolomon shorter;
    ASSERT_TRUE(shorter.InitCode(14, 18, &field, 0, 0));
    std::vector<std::int32_t> exact(256, 0);
    for (int i = 0; i < 14; ++i) exact[18 + i] = data[i];
    shorter.EncodeBlock(exact.data());
    for (int j = 0; j < 18; ++j) EXPECT_EQ(padded[j], exact[j]) << j;
}

TEST_F(clsReedSolomonTest, AllZeroDataGivesAllZeroParity)
{
    ASSERT_TRUE(coder.InitCode(100, 30, &field, 0, 0));
    std::vector<std::int32_t> cw(130, 0);
    for (int j = 0; j < 30; ++j) cw[j] = 0x5A; // stale parity is overwritten
    coder.EncodeBlock(cw.data());
    EXPECT_EQ(cw, std::vector<std::int32_t>(130, 0));
}

TEST(clsReedSolomonPrimeFieldTest, CodeOverGf7)
{
    clsFiniteField f;
    ASSERT_TRUE(f.InitField(7, 0, 0));
    clsReedSolomon coder;
    ASSERT_TRUE(coder.InitCode(3, 3, &f, 0, 1));
    std::vector<std::int32_t> cw = {0, 0, 0, 4, 1, 6};
    coder.EncodeBlock(cw.data());
    // c(3^i) = 0 for i = 1, 2, 3 in GF(7).
    for (int root : {3, 2, 6}) {
        int sum = 0;
        for (int j = 5; j >= 0; --j) sum = f.Add(f.Multiply(sum, root), cw[j]);
        EXPECT_EQ(sum, 0) << root;
    }
}

} // namespace
