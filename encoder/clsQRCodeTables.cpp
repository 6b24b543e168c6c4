// clsQRCode: the constructor, the capacity tables of ISO/IEC 18004 and the
// geometry of a symbol (6.1, Table 1, Table 9, Annex E) and the BCH remainders
// of format and version information (Annexes C and D).
#include <cstring>

#include "clsQRCode.h"

namespace {

// ISO/IEC 18004 Table 9: number of error correction blocks (both groups
// together), per version and level.
// clang-format off
constexpr std::uint8_t kBlockCount[40][4] = {
    //  L   M   Q   H       L   M   Q   H       L   M   Q   H       L   M   Q   H
    { 1,  1,  1,  1}, { 1,  1,  1,  1}, { 1,  1,  2,  2}, { 1,  2,  2,  4}, //  1- 4
    { 1,  2,  4,  4}, { 2,  4,  4,  4}, { 2,  4,  6,  5}, { 2,  4,  6,  6}, //  5- 8
    { 2,  5,  8,  8}, { 4,  5,  8,  8}, { 4,  5,  8, 11}, { 4,  8, 10, 11}, //  9-12
    { 4,  9, 12, 16}, { 4,  9, 16, 16}, { 6, 10, 12, 18}, { 6, 10, 17, 16}, // 13-16
    { 6, 11, 16, 19}, { 6, 13, 18, 21}, { 7, 14, 21, 25}, { 8, 16, 20, 25}, // 17-20
    { 8, 17, 23, 25}, { 9, 17, 23, 34}, { 9, 18, 25, 30}, {10, 20, 27, 32}, // 21-24
    {12, 21, 29, 35}, {12, 23, 34, 37}, {12, 25, 34, 40}, {13, 26, 35, 42}, // 25-28
    {14, 28, 38, 45}, {15, 29, 40, 48}, {16, 31, 43, 51}, {17, 33, 45, 54}, // 29-32
    {18, 35, 48, 57}, {19, 37, 51, 60}, {19, 38, 53, 63}, {20, 40, 56, 66}, // 33-36
    {21, 43, 59, 70}, {22, 45, 62, 74}, {24, 47, 65, 77}, {25, 49, 68, 81}, // 37-40
};
// clang-format on

// ISO/IEC 18004 Table 9: error correction codewords per block (c - k), per
// version and level.
// clang-format off
constexpr std::uint8_t kEcCodewordsPerBlock[40][4] = {
    //  L   M   Q   H       L   M   Q   H       L   M   Q   H       L   M   Q   H
    { 7, 10, 13, 17}, {10, 16, 22, 28}, {15, 26, 18, 22}, {20, 18, 26, 16}, //  1- 4
    {26, 24, 18, 22}, {18, 16, 24, 28}, {20, 18, 18, 26}, {24, 22, 22, 26}, //  5- 8
    {30, 22, 20, 24}, {18, 26, 24, 28}, {20, 30, 28, 24}, {24, 22, 26, 28}, //  9-12
    {26, 22, 24, 22}, {30, 24, 20, 24}, {22, 24, 30, 24}, {24, 28, 24, 30}, // 13-16
    {28, 28, 28, 28}, {30, 26, 28, 28}, {28, 26, 26, 26}, {28, 26, 30, 28}, // 17-20
    {28, 26, 28, 30}, {28, 28, 30, 24}, {30, 28, 30, 30}, {30, 28, 30, 30}, // 21-24
    {26, 28, 30, 30}, {28, 28, 28, 30}, {30, 28, 30, 30}, {30, 28, 30, 30}, // 25-28
    {30, 28, 30, 30}, {30, 28, 30, 30}, {30, 28, 30, 30}, {30, 28, 30, 30}, // 29-32
    {30, 28, 30, 30}, {30, 28, 30, 30}, {30, 28, 30, 30}, {30, 28, 30, 30}, // 33-36
    {30, 28, 30, 30}, {30, 28, 30, 30}, {30, 28, 30, 30}, {30, 28, 30, 30}, // 37-40
};
// clang-format on

} // namespace

clsQRCode::clsQRCode()
{
    // 1. The field of QR Code error correction: GF(2^8) mod x^8+x^4+x^3+x^2+1, alpha 2.
    field_ = std::make_unique<clsFiniteField>();
    field_->InitField(256, 285, 2);

    // 2. Spacing of the alignment-pattern centres (Annex E, as a rule).
    for (int v = 1; v <= 40; ++v) {
        int spacing;
        if (v <= 6) spacing = 255;
        else if (v <= 13) spacing = 2 * v + 2;
        else if (v <= 20) spacing = 2 * ((2 * v + 4) / 3);
        else if (v <= 27) spacing = (v + 2) & ~1;
        else if (v <= 34) spacing = 2 * (v / 3) + 6;
        else spacing = 2 * (v / 3) + 2;
        alignmentSpacing_[v] = static_cast<std::uint8_t>(spacing);
    }

    // 3. The block tables, version-major: entry (v, l) at (v-1)*4 + (l-1).
    std::memcpy(blockCount_.data(), kBlockCount, sizeof kBlockCount);
    std::memcpy(ecCodewordsPerBlock_.data(), kEcCodewordsPerBlock, sizeof kEcCodewordsPerBlock);

    // 4. Powers of two for testing and setting single bits.
    for (int i = 0; i < static_cast<int>(bitWeight_.size()); ++i) bitWeight_[i] = 1 << i;
}

clsQRCode::~clsQRCode() = default;

// --- Geometry ---------------------------------------------------------------

int clsQRCode::SymbolSize(int version) const
{
    if (version >= 1 && version <= 40) return 4 * version + 17;
    if (version >= -4 && version <= -1) return 9 - 2 * version;
    return 0;
}

int clsQRCode::RawDataModules(int version) const
{
    const int s = SymbolSize(version);
    if (version < 0 && s != 0) return s * s + 4 * version - 81;
    if (s == 0) return 0;
    // All modules less the finders with separators, the format areas, the
    // timing patterns and the dark module; then the alignment patterns (those
    // on the timing rows give back their timing modules) and, from version 7,
    // the two 6 x 3 version blocks.
    const int n = AlignmentCoordCount(version);
    int modules = s * (s - 2) - 191;
    if (n >= 2) {
        modules += (10 - 25 * n) * n + 55;
        if (n > 2) modules -= 36;
    }
    return modules;
}

int clsQRCode::TotalCodewords(int version) const
{
    if (version >= -4 && version <= -1) return (RawDataModules(version) + 4) / 8;
    if (version >= 1 && version <= 40) return RawDataModules(version) / 8;
    return 0;
}

int clsQRCode::AlignmentCoordCount(int version) const { return version < 2 ? 1 : version / 7 + 2; }

int clsQRCode::AlignmentPatternCount(int version) const
{
    const int n = AlignmentCoordCount(version);
    return n > 1 ? n * n - 3 : 0;
}

int clsQRCode::AlignmentSpacing(int version) const { return alignmentSpacing_[version]; }

int clsQRCode::BlockCount(int version, int ecLevel) const
{
    return blockCount_[(version - 1) * 4 + (ecLevel - 1)];
}

int clsQRCode::EcCodewordsPerBlock(int version, int ecLevel) const
{
    return ecCodewordsPerBlock_[(version - 1) * 4 + (ecLevel - 1)];
}

int clsQRCode::DataCodewords(int version, int ecLevel) const
{
    return TotalCodewords(version) -
           BlockCount(version, ecLevel) * EcCodewordsPerBlock(version, ecLevel);
}

int clsQRCode::BchRemainder(int value, int generator, int topBit, int count) const
{
    for (int i = 0; i < count; ++i) {
        value *= 2;
        if (value & topBit) value = (value ^ generator) & (topBit - 1);
    }
    return value;
}
