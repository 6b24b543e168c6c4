#pragma once

#include <array>
#include <cstdint>

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
    void EncodeBlock(std::int32_t* cw) const;

private:
    const clsFiniteField* field_ = nullptr;
    int dataLength_ = 0;
    int checkLength_ = 0;
    int alpha_ = 0;
    int firstRoot_ = 0;
    std::array<std::int32_t, MaxBlockLength> generatorPoly_{};
};
