#include "clsReedSolomon.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

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

    // The generator and its tables depend on the field and on e, alpha and
    // the first root only: one build serves every block and every later
    // InitCode of the same code.
    const CodeKey key{field_,      f.Order(), f.Modulus(), f.PrimitiveElement(),
                      checkLength, alpha,     firstRoot};
    if (key == built_) return true;
    BuildGenerator(root);
    BuildFeedbackTables();
    built_ = key;
    return true;
}

void clsReedSolomon::BuildGenerator(int root)
{
    // g(x) = product of (x + r) over the negated roots r, built one factor at
    // a time in ascending powers.
    const clsFiniteField& f = *field_;
    int r = f.Negate(root);
    generatorPoly_.fill(0);
    generatorPoly_[0] = r;
    generatorPoly_[1] = 1;
    for (int i = 2; i <= checkLength_; ++i) {
        r = f.Multiply(r, alpha_);
        generatorPoly_[i] = 1;
        for (int j = i - 1; j >= 1; --j)
            generatorPoly_[j] = f.Add(generatorPoly_[j - 1], f.Multiply(generatorPoly_[j], r));
        generatorPoly_[0] = f.Multiply(generatorPoly_[0], r);
    }
}

void clsReedSolomon::BuildFeedbackTables()
{
    tables_ = {};
    const clsFiniteField& f = *field_;
    if (f.Order() != 256) return;
    // The nibble tables rest on c * (a XOR b) = c * a XOR c * b. Multiply by
    // logarithms is multiplication modulo the field's polynomial, which
    // distributes, exactly when the powers of alpha reach every non-zero
    // element once: the logarithms then map 1 .. 255 one-to-one onto 0 .. 254.
    bool seen[255] = {};
    for (int x = 1; x < 256; ++x) {
        const int l = f.Log(x);
        if (l < 0 || l >= 255 || seen[l]) return;
        seen[l] = true;
    }
    const int e = checkLength_;
    std::vector<GfKernels::NibbleProducts> feedback(static_cast<std::size_t>(e));
    for (int j = 0; j < e; ++j) {
        const int c = generatorPoly_[e - 1 - j];
        GfKernels::NibbleProducts& p = feedback[static_cast<std::size_t>(j)];
        // c times each bit, then every nibble as the XOR of its bits.
        int bitProducts[8];
        for (int b = 0; b < 8; ++b) bitProducts[b] = f.Multiply(c, 1 << b);
        p.low[0] = p.high[0] = 0;
        for (int n = 1; n < 16; ++n) {
            const int lowest = std::countr_zero(static_cast<unsigned>(n));
            const int rest = n & (n - 1);
            p.low[n] = static_cast<std::uint8_t>(p.low[rest] ^ bitProducts[lowest]);
            p.high[n] = static_cast<std::uint8_t>(p.high[rest] ^ bitProducts[lowest + 4]);
        }
    }
    tables_ = GfKernels::MakeGeneratorTables(std::move(feedback));
}

bool clsReedSolomon::EncodeBlocks(const std::uint8_t* dataRows, int blocks, int stride,
                                  std::uint8_t* parityRows) const
{
    if (!HasTables() || blocks <= 0) return false;
    GfKernels::Divide(GfKernels::Active(blocks), tables_, dataRows, dataLength_, stride, blocks,
                      parityRows);
    return true;
}

bool clsReedSolomon::EncodeByteBlock(const std::uint8_t* data, std::uint8_t* parity) const
{
    if (!HasTables()) return false;
    GfKernels::Divide(GfKernels::Kernel::Plain, tables_, data, dataLength_, 1, 1, parity);
    return true;
}

bool clsReedSolomon::EncodeInterleaved(const std::uint8_t* codewords,
                                       const GfKernels::InterleavedBlocks& layout,
                                       std::uint8_t* parity) const
{
    if (!HasTables() || layout.longData != dataLength_) return false;
    GfKernels::DivideInterleaved(GfKernels::Active(layout.blocks), tables_, codewords, layout,
                                 parity);
    return true;
}

bool clsReedSolomon::HasTables() const
{
    return checkLength_ > 0 && tables_.CheckLength() == checkLength_;
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
