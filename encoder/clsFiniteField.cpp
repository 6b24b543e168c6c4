#include "clsFiniteField.h"

#include <cmath>

namespace {

bool IsPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

// The integer nearest to sqrt(n) + 2: the trial-division limit.
int TrialLimit(int n)
{
    return static_cast<int>(std::lround(std::sqrt(static_cast<double>(n)) + 2.0));
}

} // namespace

bool clsFiniteField::InitField(int order, int modulus, int primitive)
{
    if (order <= 1 || order > MaxOrder) return false;

    if (order == 2) {
        order_ = 2;
        modulus_ = 2;
        primitive_ = 1;
        isPowerOfTwo_ = true;
        logTable_[0] = logTable_[1] = 0;
        expTable_[0] = expTable_[1] = 1;
        return true;
    }

    const bool powerOfTwo = IsPowerOfTwo(order);
    if (powerOfTwo && modulus == 0) return false;
    // The tables are indexed with the powers of alpha: an element outside the
    // field would write past them.
    if (primitive < 0 || primitive >= order) return false;

    order_ = order;
    modulus_ = powerOfTwo ? modulus : order;
    isPowerOfTwo_ = powerOfTwo;
    if (primitive == 0) primitive = FindPrimitiveElement();

    // The writes keep this order so that a degenerate alpha (0 or 1) gives the
    // same tables on every run; with a real primitive element it is immaterial.
    const int q = order;
    logTable_[0] = 0;
    logTable_[1] = 0;
    logTable_[primitive] = 1;
    expTable_[0] = 1;
    expTable_[q - 1] = 1; // wrap entry read by Inverse(1)
    expTable_[1] = static_cast<std::int16_t>(primitive);
    primitive_ = primitive;

    int x = primitive;
    for (int i = 2; i <= q - 2; ++i) {
        x = MultiplyDirect(x, primitive);
        logTable_[x] = static_cast<std::int16_t>(i);
        expTable_[i] = static_cast<std::int16_t>(x);
    }
    return true;
}

int clsFiniteField::FindPrimitiveElement() const
{
    const int q = order_;
    if (q < 2) return 0;

    // d is primitive exactly when d^((q-1)/p) != 1 for every prime p dividing q-1.
    int quotients[8];
    int count = 0;
    int n = q - 1;
    if (n % 2 == 0) {
        quotients[count++] = (q - 1) / 2;
        while (n % 2 == 0) n /= 2;
    }
    int limit = TrialLimit(n);
    for (int p = 3; p <= limit; p += 2) {
        if (n % p != 0) continue;
        while (n % p == 0) n /= p;
        quotients[count++] = (q - 1) / p;
        limit = TrialLimit(n);
    }
    if (n > 1) quotients[count++] = (q - 1) / n;

    for (int d = 2; d <= q - 1; ++d) {
        // d^(2^i) for i = 0..13 covers every exponent below 2^14 > q.
        int squares[14];
        squares[0] = d;
        for (int i = 1; i < 14; ++i) squares[i] = MultiplyDirect(squares[i - 1], squares[i - 1]);

        bool rejected = false;
        for (int c = 0; c < count && !rejected; ++c) {
            int t = quotients[c];
            int r = 1;
            for (int i = 0; i < 14 && t != 0; ++i, t >>= 1)
                if (t & 1) r = MultiplyDirect(r, squares[i]);
            rejected = (r == 1);
        }
        if (!rejected) return d;
    }
    return 0;
}

int clsFiniteField::Divide(int a, int b) const
{
    if (a == 0 || b == 0) return 0;
    int s = logTable_[a] - logTable_[b];
    if (s < 0) s += order_ - 1;
    return expTable_[s];
}

int clsFiniteField::Inverse(int a) const
{
    if (a == 0) return 0;
    return expTable_[order_ - 1 - logTable_[a]];
}

int clsFiniteField::MultiplyDirect(int a, int b) const
{
    if (a == 0 || b == 0) return 0;
    if (order_ == 2) return 1;
    if (!isPowerOfTwo_) return static_cast<int>((static_cast<long long>(a) * b) % order_);

    // Shift-and-add over GF(2), reducing by the modulus whenever the degree
    // reaches m (the bit of q = 2^m).
    int result = 0;
    for (int mask = 1;; mask <<= 1) {
        if (b & mask) {
            b &= ~mask;
            result ^= a;
        }
        if (b == 0) return result;
        a <<= 1;
        if (a & order_) a = (a ^ modulus_) & (order_ - 1);
    }
}

int clsFiniteField::EuclidInverse(int a) const
{
    int r0 = order_, r1 = a;
    int t0 = 0, t1 = 1;
    while (r0 % r1 != 0) {
        const int quotient = r0 / r1;
        const int r2 = r0 - quotient * r1;
        const int t2 = t0 - quotient * t1;
        r0 = r1;
        r1 = r2;
        t0 = t1;
        t1 = t2;
    }
    int t = t1 % order_;
    if (t < 0) t += order_;
    return t;
}

int clsFiniteField::InverseDirect(int a) const
{
    if (a == 0) return 0;
    if (order_ == 2) return 1;
    if (isPowerOfTwo_) return 0; // the Euclidean variants serve prime fields only
    return EuclidInverse(a);
}

int clsFiniteField::DivideDirect(int a, int b) const
{
    if (a == 0 || b == 0) return 0;
    if (order_ == 2) return 1;
    if (isPowerOfTwo_) return 0;
    long long product = static_cast<long long>(a) * EuclidInverse(b) % order_;
    if (product < 0) product += order_;
    return static_cast<int>(product);
}

int clsFiniteField::Exp(int n) const
{
    if (order_ < 2) return 0;
    int r = n % (order_ - 1);
    if (r < 0) r += order_ - 1;
    return expTable_[r];
}
