#include "clsFiniteField.h"

#include <gtest/gtest.h>

namespace {

clsFiniteField QrField()
{
    clsFiniteField field;
    EXPECT_TRUE(field.InitField(256, 285, 2));
    return field;
}

TEST(clsFiniteFieldTest, Gf256TablesAreTheQrCodeTables)
{
    const clsFiniteField f = QrField();
    EXPECT_EQ(f.Order(), 256);
    EXPECT_EQ(f.Modulus(), 285);
    EXPECT_EQ(f.PrimitiveElement(), 2);
    const int expected[] = {1, 2, 4, 8, 16, 32, 64, 128, 29, 58, 116};
    for (int i = 0; i < 11; ++i) EXPECT_EQ(f.Exp(i), expected[i]) << i;
    EXPECT_EQ(f.Exp(254), 142);
    EXPECT_EQ(f.Exp(255), 1);
    EXPECT_EQ(f.Exp(-1), 142);
    EXPECT_EQ(f.Exp(8), 29);
    EXPECT_EQ(f.Exp(-255 * 3 + 8), 29);
    EXPECT_EQ(f.Log(1), 0);
    EXPECT_EQ(f.Log(2), 1);
    EXPECT_EQ(f.Log(29), 8);
    // Log and Exp are inverse on the non-zero elements.
    for (int a = 1; a < 256; ++a) EXPECT_EQ(f.Exp(f.Log(a)), a) << a;
}

TEST(clsFiniteFieldTest, Gf256ArithmeticIdentities)
{
    const clsFiniteField f = QrField();
    EXPECT_EQ(f.Multiply(2, 142), 1);
    EXPECT_EQ(f.Inverse(1), 1);
    EXPECT_EQ(f.Inverse(2), 142);
    EXPECT_EQ(f.Inverse(0), 0);
    for (int a = 0; a < 256; ++a) {
        EXPECT_EQ(f.Multiply(0, a), 0);
        EXPECT_EQ(f.Divide(a, 0), 0);
        EXPECT_EQ(f.Divide(0, a), 0);
        EXPECT_EQ(f.Add(a, a), 0);
        EXPECT_EQ(f.Negate(a), a);
        EXPECT_EQ(f.InverseDirect(a), 0) << "the Euclidean variants serve prime fields only";
        if (a != 0) {
            EXPECT_EQ(f.Multiply(a, f.Inverse(a)), 1) << a;
        }
        for (int b = 0; b < 256; ++b) {
            // The table product agrees with the shift-and-add product.
            ASSERT_EQ(f.Multiply(a, b), f.MultiplyDirect(a, b)) << a << " * " << b;
            ASSERT_EQ(f.Subtract(a, b), a ^ b);
            if (b != 0) {
                ASSERT_EQ(f.Divide(f.Multiply(a, b), b), a) << a << " / " << b;
            }
            ASSERT_EQ(f.DivideDirect(a, b), 0);
        }
    }
}

TEST(clsFiniteFieldTest, FindsThePrimitiveElementItself)
{
    clsFiniteField searched;
    ASSERT_TRUE(searched.InitField(256, 285, 0));
    EXPECT_EQ(searched.PrimitiveElement(), 2);
    const clsFiniteField given = QrField();
    for (int n = 0; n < 255; ++n) EXPECT_EQ(searched.Exp(n), given.Exp(n));

    // 0x11B is irreducible but 2 is not primitive for it; 3 is.
    clsFiniteField aes;
    ASSERT_TRUE(aes.InitField(256, 0x11B, 0));
    EXPECT_EQ(aes.PrimitiveElement(), 3);
}

TEST(clsFiniteFieldTest, RefusesBadArgumentsAndKeepsTheField)
{
    clsFiniteField f = QrField();
    EXPECT_FALSE(f.InitField(1, 285, 2));
    EXPECT_FALSE(f.InitField(0, 285, 2));
    EXPECT_FALSE(f.InitField(-7, 285, 2));
    EXPECT_FALSE(f.InitField(16385, 285, 2));
    EXPECT_FALSE(f.InitField(256, 0, 2));
    EXPECT_FALSE(f.InitField(256, 285, 256))
        << "an element outside the field would index past the tables";
    EXPECT_FALSE(f.InitField(7, 0, -1));
    EXPECT_EQ(f.Order(), 256);
    EXPECT_EQ(f.Multiply(2, 142), 1);
    EXPECT_EQ(f.Exp(8), 29);
}

TEST(clsFiniteFieldTest, Gf2)
{
    clsFiniteField f;
    ASSERT_TRUE(f.InitField(2, 12345, 77));
    EXPECT_EQ(f.Order(), 2);
    EXPECT_EQ(f.Modulus(), 2);
    EXPECT_EQ(f.PrimitiveElement(), 1);
    EXPECT_EQ(f.Multiply(1, 1), 1);
    EXPECT_EQ(f.Add(1, 1), 0);
    EXPECT_EQ(f.Inverse(1), 1);
    EXPECT_EQ(f.InverseDirect(1), 1);
    EXPECT_EQ(f.Exp(5), 1);
}

TEST(clsFiniteFieldTest, Gf7)
{
    clsFiniteField f;
    ASSERT_TRUE(f.InitField(7, 0, 0));
    EXPECT_EQ(f.Modulus(), 7);
    EXPECT_EQ(f.PrimitiveElement(), 3);
    const int expected[] = {1, 3, 2, 6, 4, 5, 1};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(f.Exp(i), expected[i]) << i;
    EXPECT_EQ(f.Add(5, 4), 2);
    EXPECT_EQ(f.Subtract(2, 5), 4);
    EXPECT_EQ(f.Negate(3), 4);
    EXPECT_EQ(f.Negate(0), 0);
    EXPECT_EQ(f.InverseDirect(2), 4);
    EXPECT_EQ(f.DivideDirect(3, 2), 5);
}

TEST(clsFiniteFieldTest, PrimeFieldsAgreeWithModularArithmetic)
{
    // 16381 is the largest prime below the table capacity.
    for (int q : {5, 13, 257, 16381}) {
        clsFiniteField f;
        ASSERT_TRUE(f.InitField(q, 0, 0)) << q;
        const int alpha = f.PrimitiveElement();
        ASSERT_NE(alpha, 0) << q;
        // alpha generates every non-zero element exactly once.
        std::vector<bool> seen(q, false);
        for (int n = 0; n < q - 1; ++n) {
            const int x = f.Exp(n);
            ASSERT_FALSE(seen[x]) << "q " << q << " n " << n;
            seen[x] = true;
        }
        for (int a = 1; a < q; a += (q > 300 ? 97 : 1))
            for (int b = 1; b < q; b += (q > 300 ? 89 : 1)) {
                ASSERT_EQ(f.Multiply(a, b), static_cast<int>(static_cast<long long>(a) * b % q));
                ASSERT_EQ(f.Multiply(f.Divide(a, b), b), a);
                ASSERT_EQ(f.DivideDirect(a, b), f.Divide(a, b));
                ASSERT_EQ(f.InverseDirect(b), f.Inverse(b));
            }
    }
}

TEST(clsFiniteFieldTest, LargestBinaryField)
{
    // GF(2^14) with x^14 + x^10 + x^6 + x + 1, a primitive polynomial.
    clsFiniteField f;
    ASSERT_TRUE(f.InitField(16384, 0x4443, 0));
    EXPECT_EQ(f.PrimitiveElement(), 2);
    EXPECT_EQ(f.Exp(16383), 1);
    for (int a = 1; a < 16384; a += 37) EXPECT_EQ(f.Multiply(a, f.Inverse(a)), 1) << a;
}

} // namespace
