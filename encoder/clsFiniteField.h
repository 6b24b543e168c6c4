#pragma once

#include <array>
#include <cstdint>

// Arithmetic in a finite field GF(q), q a prime or a power of two with
// 2 <= q <= 16384, by logarithm and antilogarithm tables. The QR encoder uses
// GF(256) reduced by x^8 + x^4 + x^3 + x^2 + 1 (0x11D) with primitive element 2
// (ISO/IEC 18004, 7.5.2); the class is general so that its tests can check it
// against small prime fields too.
//
// Elements are 0 .. q-1. For q = 2^m an element is the bit vector of a
// polynomial over GF(2) (bit i = coefficient of x^i); otherwise a residue mod q.
// The arithmetic operations do not check their operands.
class clsFiniteField {
public:
    static constexpr int MaxOrder = 16384;

    // Sets the field up and fills both tables. order in [2, 16384]; for a power
    // of two >= 4, modulus is the reduction polynomial with its top bit and must
    // not be 0; for other orders the modulus argument is ignored. primitive 0
    // asks FindPrimitiveElement. False (nothing changed) for a bad order, a
    // zero modulus or a primitive outside [0, order); neither primality,
    // irreducibility nor primitivity is tested.
    bool InitField(int order, int modulus, int primitive);

    // The smallest primitive element >= 2 of the order stored so far, or 0.
    // Uses MultiplyDirect only, since it runs before the tables exist.
    int FindPrimitiveElement() const;

    int Order() const { return order_; }
    int Modulus() const { return modulus_; }
    int PrimitiveElement() const { return primitive_; }

    int Add(int a, int b) const
    {
        if (isPowerOfTwo_) return a ^ b;
        const int s = a + b;
        return s >= order_ ? s - order_ : s;
    }
    int Negate(int a) const { return (isPowerOfTwo_ || a == 0) ? a : order_ - a; }
    int Subtract(int a, int b) const
    {
        if (isPowerOfTwo_) return a ^ b;
        const int d = a - b;
        return d < 0 ? d + order_ : d;
    }

    // Two table reads and one addition: the hot path of Reed-Solomon encoding.
    int Multiply(int a, int b) const
    {
        if (a == 0 || b == 0) return 0;
        int s = logTable_[a] + logTable_[b];
        if (s >= order_ - 1) s -= order_ - 1;
        return expTable_[s];
    }
    // Division by zero yields 0, as does 0 / b.
    int Divide(int a, int b) const;
    int Inverse(int a) const;

    // Table-free variants: shift-and-add (power of two) or (a*b) mod q.
    int MultiplyDirect(int a, int b) const;
    // Extended Euclid; prime fields only (0 in GF(2^m) for m >= 2, 1 in GF(2)).
    int DivideDirect(int a, int b) const;
    int InverseDirect(int a) const;

    int Log(int a) const { return logTable_[a]; }
    // alpha^n for any integer n (reduced mod q-1 into 0 .. q-2).
    int Exp(int n) const;

private:
    // Coefficient t with t*a = 1 (mod q) found by the extended Euclidean
    // algorithm, reduced into 0 .. q-1.
    int EuclidInverse(int a) const;

    int order_ = 0;
    int modulus_ = 0;
    int primitive_ = 0;
    bool isPowerOfTwo_ = false;
    std::array<std::int16_t, MaxOrder> logTable_{};
    std::array<std::int16_t, MaxOrder> expTable_{};
};
