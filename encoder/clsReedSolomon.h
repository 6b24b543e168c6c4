#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "GfKernels.h"

class clsFiniteField;

// Systematic Reed-Solomon parity encoder over a clsFiniteField.
//
// The generator is g(x) = (x - a^b)(x - a^(b+1)) ... (x - a^(b+e-1)) with a the
// code's alpha and b its first root; with GF(256), a = 2 and b = 0 these are the
// generator polynomials of ISO/IEC 18004 Annex A.
//
// A block is an array of coefficients indexed by the power of x: the k data
// symbols at indices e+k-1 (first) down to e, and on return the e parity symbols
// at e-1 (first) down to 0. A block is transmitted from the highest index down.
class clsReedSolomon {
public:
    // k + e may not exceed this: the capacity of the generator and work arrays.
    static constexpr int MaxBlockLength = 1024;
    static_assert(MaxBlockLength <= GfKernels::MaxCodeLength);

    // The field is shared with the owner (the QR encoder), never owned here.
    const clsFiniteField* Field() const { return field_; }
    void SetField(const clsFiniteField* field) { field_ = field; }
    int Alpha() const { return alpha_; }
    void SetAlpha(int alpha) { alpha_ = alpha; }
    int DataLength() const { return dataLength_; }
    int CheckLength() const { return checkLength_; }
    int FirstRoot() const { return firstRoot_; }
    // Coefficient of x^j of g(x); j in [0, 1023], not checked.
    int GeneratorCoefficient(int j) const { return generatorPoly_[j]; }

    // Sets the code up: k data and e parity symbols, k > 0, e > 0, k + e <= 1024,
    // firstRoot >= 0. field null keeps the held field (a non-null one replaces it
    // even if a later step fails); alpha 0 takes the held alpha, then the field's
    // primitive element. False (the previous code kept) when no code can be made.
    bool InitCode(int dataLength, int checkLength, const clsFiniteField* field, int alpha,
                  int firstRoot);

    // Writes the e parity symbols into cw[0 .. e-1] from the data in
    // cw[e .. e+k-1]; cw must hold at least e+k entries. Before any successful
    // InitCode it changes nothing.
    // The reference loop of the division: field operations only, any field.
    void EncodeBlock(std::int32_t* cw) const;

    // Encodes blocks blocks of this code at once, the symbols bytes of GF(256),
    // by the fastest GfKernels kernel this CPU runs. dataRows: k rows of stride
    // bytes, row r holding data symbol r (the highest power first) of every
    // block; a block with fewer data symbols starts with zeros. parityRows: e
    // rows of stride bytes; row j receives parity symbol j (the coefficient of
    // x^(e-1-j)) of every block. stride: a multiple of GfKernels::LaneAlignment,
    // at least blocks; lanes up to the next multiple of 32 are scratch. False,
    // writing nothing, before any successful InitCode and when the code is not
    // over a GF(256) whose tables describe a field (EncodeBlock then serves).
    bool EncodeBlocks(const std::uint8_t* dataRows, int blocks, int stride,
                      std::uint8_t* parityRows) const;
    // One block of bytes on its own: data[0 .. k-1], the highest power first;
    // parity[0 .. e-1] receives the parity, the coefficient of x^(e-1) first.
    // The plain kernel, whatever the CPU: a vector kernel would divide a whole
    // vector of lanes for the one block. False, writing nothing, where
    // EncodeBlocks is false.
    bool EncodeByteBlock(const std::uint8_t* data, std::uint8_t* parity) const;
    // The blocks of a QR Code symbol, k = layout.longData, their data read in
    // the interleaved order of ISO/IEC 18004, 7.6 from codewords (readable
    // for GfKernels::LaneAlignment bytes past the data codewords); parity
    // receives their parity in the same order, symbol j of every block in
    // parity[j * B .. j * B + B - 1]. By the fastest kernel, as EncodeBlocks;
    // false, writing nothing, where EncodeBlocks is false.
    bool EncodeInterleaved(const std::uint8_t* codewords,
                           const GfKernels::InterleavedBlocks& layout, std::uint8_t* parity) const;

private:
    // What the generator and the feedback tables were last built from; equal
    // keys give equal tables, since InitField is deterministic.
    struct CodeKey {
        const clsFiniteField* field = nullptr;
        int order = 0, modulus = 0, primitive = 0;
        int checkLength = 0, alpha = 0, firstRoot = 0;
        bool operator==(const CodeKey&) const = default;
    };

    void BuildGenerator(int root);
    // The kernels' tables of the generator: the nibble products of every
    // coefficient but the leading 1, highest power first; none when the field
    // is not a GF(256).
    void BuildFeedbackTables();
    // Whether the kernels' tables belong to the code set up.
    bool HasTables() const;

    CodeKey built_;
    GfKernels::GeneratorTables tables_;

    const clsFiniteField* field_ = nullptr;
    int dataLength_ = 0;
    int checkLength_ = 0;
    int alpha_ = 0;
    int firstRoot_ = 0;
    std::array<std::int32_t, MaxBlockLength> generatorPoly_{};
};
