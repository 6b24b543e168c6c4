#include "clsReedSolomon.h"

#include <algorithm>
#include <cstring>

#include "clsFiniteField.h"

bool clsReedSolomon::InitCode(int dataLength, int checkLength, const clsFiniteField* field,
                              int alpha, int firstRoot)
{
    if (dataLength <= 0 || checkLength <= 0 || dataLength + checkLength > MaxBlockLength ||
        firstRoot < 0)
        return false;

    if (field != nullptr) field_ = field;
    if (field_ == nullptr) return false;
    const clsFiniteField& f = *field_;

    if (alpha == 0) alpha = alpha_;
    if (alpha == 0) alpha = f.PrimitiveElement();
    if (alpha == 0) return false;

    dataLength_ = dataLength;
    checkLength_ = checkLength;
    alpha_ = alpha;
    firstRoot_ = firstRoot;

    // root = alpha^firstRoot by binary exponentiation from the lowest bit.
    int root = (firstRoot & 1) ? alpha : 1;
    int base = alpha;
    for (int bits = firstRoot >> 1; bits != 0; bits >>= 1) {
        base = f.Multiply(base, base);
        if (bits & 1) root = f.Multiply(root, base);
    }

    // g(x) = product of (x + r) over the negated roots r, built one factor at
    // a time in ascending powers.
    int r = f.Negate(root);
    generatorPoly_.fill(0);
    generatorPoly_[0] = r;
    generatorPoly_[1] = 1;
    for (int i = 2; i <= checkLength; ++i) {
        r = f.Multiply(r, alpha);
        generatorPoly_[i] = 1;
        for (int j = i - 1; j >= 1; --j)
            generatorPoly_[j] = f.Add(generatorPoly_[j - 1], f.Multiply(generatorPoly_[j], r));
        generatorPoly_[0] = f.Multiply(generatorPoly_[0], r);
    }
    return true;
}

void clsReedSolomon::EncodeBlock(std::int32_t* cw) const
{
    const int k = dataLength_;
    const int e = checkLength_;
    if (k <= 0 || e <= 0 || field_ == nullptr) return;
    const clsFiniteField& f = *field_;

    // Long division of data(x) * x^e by g(x). Only entries 0 .. e+k-1 of the
    // work array are ever read, so only those are set.
    std::int32_t work[MaxBlockLength];
    std::fill_n(work, e, 0);
    std::memcpy(work + e, cw + e, sizeof(std::int32_t) * static_cast<std::size_t>(k));

    for (int i = k - 1; i >= 0; --i) {
        const int lead = work[e + i];
        if (lead == 0) continue; // subtracting 0 * g(x) changes nothing
        for (int j = 0; j < e; ++j)
            work[i + j] = f.Subtract(work[i + j], f.Multiply(lead, generatorPoly_[j]));
    }

    // The parity is the negated remainder, so that data(x) * x^e - remainder
    // is a multiple of g(x).
    for (int j = 0; j < e; ++j) cw[j] = f.Negate(work[j]);
}
