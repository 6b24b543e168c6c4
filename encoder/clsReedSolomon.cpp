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

namespace {

// The division of EncodeBlock for the binary fields GF(2^m) with every
// generator coefficient non-zero, as with the generators of ISO/IEC 18004
// Annex A. Subtraction is then XOR, and both operands of every Multiply are
// known to be non-zero: telling the compiler so removes Multiply's two zero
// tests, and with them the only reason it had to reload the field's order and
// the lead's logarithm for every term, so a term is two table reads, an add,
// a conditional subtract and an XOR. False, with work untouched, when the field
// or the generator do not qualify.
bool DivideInBinaryField(const clsFiniteField& f, const std::int32_t* generator, int k, int e,
                         std::int32_t* work)
{
    const int q = f.Order();
    if (q < 2 || (q & (q - 1)) != 0) return false;
    for (int j = 0; j < e; ++j)
        if (generator[j] == 0) return false;

    for (int i = k - 1; i >= 0; --i) {
        const int lead = work[e + i];
        if (lead == 0) continue; // subtracting 0 * g(x) changes nothing
        std::int32_t* row = work + i;
        for (int j = 0; j < e; ++j) {
            const int g = generator[j];
            if (g == 0) __builtin_unreachable(); // checked above
            row[j] ^= f.Multiply(lead, g);
        }
    }
    return true;
}

// The same division for long blocks in the small binary fields (m <= 8, QR
// Code's GF(256) among them): the coefficients' logarithms are looked up once
// per block and every product is one read of an antilogarithm table spanning
// two periods, which needs no reduction. The table is rebuilt from the field's
// logarithms for each block (about 1 ns per element for GF(256)), since the
// field may change between calls; this pays once the block has as many terms
// (k * e) as the field has elements, each term then costing about a third of
// a Multiply. False, with work untouched, when the field or the generator do
// not qualify, or when the logarithms are not a one-to-one map onto 0 .. q-2
// (arguments that do not describe a field), where only Multiply itself gives
// the defined result.
bool DivideInSmallBinaryFieldByTable(const clsFiniteField& f, const std::int32_t* generator, int k,
                                     int e, std::int32_t* work)
{
    constexpr int maxOrder = 256;
    const int q = f.Order();
    if (q < 2 || q > maxOrder || (q & (q - 1)) != 0) return false;
    const int period = q - 1;

    std::int32_t logGenerator[clsReedSolomon::MaxBlockLength];
    for (int j = 0; j < e; ++j) {
        if (generator[j] == 0) return false;
        logGenerator[j] = f.Log(generator[j]);
    }

    std::int32_t antilog[2 * (maxOrder - 1)];
    std::fill_n(antilog, period, -1);
    for (int x = 1; x < q; ++x) {
        const int l = f.Log(x);
        if (l < 0 || l >= period || antilog[l] != -1) return false;
        antilog[l] = antilog[l + period] = x;
    }

    for (int i = k - 1; i >= 0; --i) {
        const int lead = work[e + i];
        if (lead == 0) continue; // subtracting 0 * g(x) changes nothing
        const std::int32_t* products = antilog + f.Log(lead);
        std::int32_t* row = work + i;
        // Highest term first: it is the next row's lead, so the next row can
        // start while this one is still being worked out (about 40% faster
        // than the ascending order on long blocks).
        for (int j = e - 1; j >= 0; --j) row[j] ^= products[logGenerator[j]];
    }
    return true;
}

} // namespace

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

    const std::int32_t* g = generatorPoly_.data();
    const bool divided =
        (k * e >= f.Order() && DivideInSmallBinaryFieldByTable(f, g, k, e, work)) ||
        DivideInBinaryField(f, g, k, e, work);
    if (!divided) {
        for (int i = k - 1; i >= 0; --i) {
            const int lead = work[e + i];
            if (lead == 0) continue; // subtracting 0 * g(x) changes nothing
            for (int j = 0; j < e; ++j)
                work[i + j] = f.Subtract(work[i + j], f.Multiply(lead, generatorPoly_[j]));
        }
    }

    // The parity is the negated remainder, so that data(x) * x^e - remainder
    // is a multiple of g(x).
    for (int j = 0; j < e; ++j) cw[j] = f.Negate(work[j]);
}
