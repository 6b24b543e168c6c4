// clsQRCode: the encode pipeline from message bytes to the finished module
// matrix (ISO/IEC 18004, 7.1): version choice, data codewords, blocks with
// their error correction, interleaving; the steps of other concerns live in
// the units named after them.
#include "clsQRCode.h"

#include <cstring>

namespace {

// The version ranges searched for an automatic version: the width classes.
constexpr int kVersionRanges[3][2] = {{1, 9}, {10, 26}, {27, 40}};

// The largest number of message bytes any symbol holds: 7089 digits in
// version 40-L (Table 7). Longer messages are refused before any analysis.
constexpr int kMaxMessageBytes = 7089;

// Pad codewords of 7.4.10, alternating from the first.
constexpr std::uint8_t kPadCodewords[2] = {0xEC, 0x11};

// The codewords of the largest symbol, version 40 (Table 1).
constexpr int kMaxCodewords = 3706;

// Whether a message of length bytes can fit dataCodewords at all: no byte
// costs less than a digit's 10/3 bits in a numeric segment (7.4.4), and
// every segment header at least 4 + 8 bits (Table 3). A cheap bound that
// spares building streams for width classes that are far too small.
bool MayFit(int length, int dataCodewords) { return 10 * length + 36 <= 24 * dataCodewords; }

// Parity of every block by the reference loop, one block at a time, for a
// code EncodeInterleaved does not take. data: the blocks one after another,
// the short ones (one codeword fewer, led by a zero coefficient) first;
// parity symbol j of block b goes to parity[j * B + b].
void EncodeEachBlock(const clsReedSolomon& coder, const GfKernels::InterleavedBlocks& layout,
                     const std::uint8_t* data, std::uint8_t* parity)
{
    const int k = coder.DataLength();
    const int e = coder.CheckLength();
    std::int32_t block[clsReedSolomon::MaxBlockLength];
    for (int b = 0; b < layout.blocks; ++b) {
        const int length = b < layout.shortBlocks ? k - 1 : k;
        for (int r = 0; r < k; ++r) block[e + r] = r < length ? data[length - 1 - r] : 0;
        data += length;
        coder.EncodeBlock(block);
        for (int j = 0; j < e; ++j)
            parity[j * layout.blocks + b] = static_cast<std::uint8_t>(block[e - 1 - j]);
    }
}

// data: the K data codewords in stream order, block after block. codewords
// receives the K + B * E codewords in the interleaved order of 7.6: data
// codeword i of every block, i = 0, 1, ..., the long blocks' last one, then
// error correction codeword j of every block. The data are interleaved
// first, and the coder reads its blocks from there, writing the parity
// straight after them; the parity area (at least 36 bytes in every symbol of
// more than one block, Table 9) is what the kernels read past the data.
void InterleaveWithParity(const clsReedSolomon& coder, const clsQRCode::BlockLayout& layout,
                          const std::uint8_t* data, std::uint8_t* codewords)
{
    const int n = layout.longData;
    if (layout.blocks == 1) {
        // Nothing to interleave: the data, then the parity after them.
        std::memcpy(codewords, data, static_cast<std::size_t>(n));
        if (!coder.EncodeByteBlock(data, codewords + n))
            EncodeEachBlock(coder, {1, 0, n}, data, codewords + n);
        return;
    }
    const GfKernels::InterleavedBlocks blocks{layout.blocks, layout.shortBlocks, n};
    GfKernels::InterleaveData(GfKernels::Active(layout.blocks), data, blocks, codewords);
    std::uint8_t* parity = codewords + layout.dataCodewords;
    if (!coder.EncodeInterleaved(codewords, blocks, parity))
        EncodeEachBlock(coder, blocks, data, parity);
}

} // namespace

int clsQRCode::ChooseVersion(const std::uint8_t* data, int length, int ecLevel,
                             std::span<std::uint8_t> codewords, int* streamBits) const
{
    // One stream per width class, then the first version whose data capacity
    // holds the message bits (the terminator may be cut short, 7.4.9). The
    // stream is the same for every version of a class, so the one that fits
    // is kept for the data codewords.
    for (const auto& range : kVersionRanges) {
        if (!MayFit(length, DataCodewords(range[1], ecLevel))) continue;
        *streamBits = BuildPackedStream(codewords, data, length, range[0]);
        for (int v = range[0]; v <= range[1]; ++v)
            if (DataCodewords(v, ecLevel) * 8 >= *streamBits - 4) return v;
    }
    return 0;
}

bool clsQRCode::PadDataCodewords(int streamBits, int version, int ecLevel,
                                 std::span<std::uint8_t> codewords) const
{
    // Capacity test (7.4.9): the message bits must fit, the terminator may not.
    const int dataCodewords = DataCodewords(version, ecLevel);
    if (dataCodewords * 8 < streamBits - 4) return false;
    // Padding (7.4.10): the stream's last byte is already completed with zero
    // bits; then 0xEC 0x11 ... up to the data capacity.
    for (int i = (streamBits + 7) / 8, pad = 0; i < dataCodewords; ++i, ++pad)
        codewords[static_cast<std::size_t>(i)] = kPadCodewords[pad % 2];
    return true;
}

clsQRCode::BlockLayout clsQRCode::SplitBlocks(int version, int ecLevel) const
{
    // Table 9: the short blocks first, one data codeword fewer.
    BlockLayout layout;
    layout.dataCodewords = DataCodewords(version, ecLevel);
    layout.blocks = BlockCount(version, ecLevel);
    layout.ecPerBlock = EcCodewordsPerBlock(version, ecLevel);
    layout.longData = (layout.dataCodewords + layout.blocks - 1) / layout.blocks;
    const int remainder = layout.dataCodewords % layout.blocks;
    layout.shortBlocks = remainder == 0 ? 0 : layout.blocks - remainder;
    return layout;
}

void clsQRCode::AddErrorCorrection(const BlockLayout& layout, const std::uint8_t* dataCodewords,
                                   std::uint8_t* codewords)
{
    // One code serves every block: a short block is a long one with a zero
    // leading coefficient.
    if (!field_) {
        field_ = std::make_unique<clsFiniteField>();
        field_->InitField(256, 285, 2);
    }
    if (!coder_) coder_ = std::make_unique<clsReedSolomon>();
    coder_->InitCode(layout.longData, layout.ecPerBlock, field_.get(), 0, 0);
    InterleaveWithParity(*coder_, layout, dataCodewords, codewords);
}

std::optional<ModuleMatrix> clsQRCode::EncodeMatrix(const std::uint8_t* data, int dataLength,
                                                    int version, int ecLevel, int mask)
{
    // 1. Out-of-range options: level M (a mask outside 0..7 is taken as 0
    // where the mask is applied).
    if (ecLevel < 1 || ecLevel > 4) ecLevel = 2;
    // 2. Nothing to build: negative versions are Micro QR, which is not built;
    // no data where some are promised is a caller's fault, not an empty
    // message; no symbol holds more than kMaxMessageBytes.
    if (version < 0) return std::nullopt;
    if (data == nullptr && dataLength > 0) return std::nullopt;
    if (dataLength < 0) dataLength = 0;
    if (dataLength > kMaxMessageBytes) return std::nullopt;

    // 3. The version, given or the smallest that holds the message, and
    // the message's stream for it. One byte more holds the part of a
    // terminator that does not fit.
    std::uint8_t dataCodewords[kMaxCodewords + 1];
    int streamBits = 0;
    if (version == 0 || version > 40)
        version = ChooseVersion(data, dataLength, ecLevel, dataCodewords, &streamBits);
    else streamBits = BuildPackedStream(dataCodewords, data, dataLength, version);
    if (version == 0) return std::nullopt;

    // 4. The capacity test and padding.
    if (!PadDataCodewords(streamBits, version, ecLevel, dataCodewords)) return std::nullopt;

    // 5. Block split, error correction and interleaving (7.5, 7.6),
    // with sixteen zero bytes after the sequence for the remainder modules and
    // the placement's reading ahead.
    std::uint8_t codewords[kMaxCodewords + 16];
    AddErrorCorrection(SplitBlocks(version, ecLevel), dataCodewords, codewords);
    std::memset(codewords + TotalCodewords(version), 0, 16);

    // 6. Placement, function patterns, mask, version and format information,
    // into a matrix whose every cell they set.
    ModuleMatrix matrix(SymbolSize(version), ModuleMatrix::UnsetCells{});
    PlaceData(matrix, codewords, version, ecLevel, mask);
    return matrix;
}

int clsQRCode::FittingVersion(const std::uint8_t* data, int dataLength, int version,
                              int ecLevel) const
{
    // The option handling of EncodeMatrix, its steps 1 and 2.
    if (ecLevel < 1 || ecLevel > 4) ecLevel = 2;
    if (version < 0) return 0;
    if (data == nullptr && dataLength > 0) return 0;
    if (dataLength < 0) dataLength = 0;
    if (dataLength > kMaxMessageBytes) return 0;

    // Measured only: nothing but an empty message's terminator is written.
    BitArray scratch;
    const auto holds = [&](int v, int length) {
        return length <= BitArrayCapacity && DataCodewords(v, ecLevel) * 8 >= length - 4;
    };
    if (version >= 1 && version <= 40) {
        const int length = BuildBitStream(scratch, data, dataLength, version, true);
        return holds(version, length) ? version : 0;
    }
    // One measurement per width class (Table 3), as in EncodeMatrix's step 3.
    for (const auto& range : kVersionRanges) {
        const int length = BuildBitStream(scratch, data, dataLength, range[0], true);
        for (int v = range[0]; v <= range[1]; ++v)
            if (holds(v, length)) return v;
    }
    return 0;
}
