// Codeword-level read-back of every version and level (ISO/IEC 18004, 7.5 to
// 7.8): the finished symbol is read the way a reader does, with the placement
// path, the mask conditions and the Reed-Solomon syndromes of QrReference.h,
// so a fault that a reader's error correction would silently repair still
// shows here.

#include "clsQRCode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "QrReference.h"

namespace {

struct ReadBack {
    std::vector<int> codewords;  // TotalCodewords of them, in placement order
    std::vector<int> remainders; // the remainder modules after the last codeword, unmasked
};

// Unmasks the encoding region of symbol with mask and reads its bits along
// the placement path; the function modules are those of the template.
ReadBack ReadSymbolCodewords(const clsQRCode& qr, const ModuleMatrix& symbol, int version, int mask)
{
    const int size = symbol.Size();
    ModuleMatrix functions(size);
    qr.BuildFunctionPatterns(functions, version);
    std::vector<bool> free(static_cast<std::size_t>(size) * size);
    for (int r = 0; r < size; ++r)
        for (int c = 0; c < size; ++c)
            free[static_cast<std::size_t>(r) * size + c] = functions.At(r, c) == 0;

    ReadBack result;
    int value = 0, bits = 0;
    for (const auto& [row, column] : qrref::PlacementPath(free, size)) {
        const int bit = symbol.At(row, column) ^ (qrref::MaskInverts(mask, row, column) ? 1 : 0);
        if (static_cast<int>(result.codewords.size()) == qr.TotalCodewords(version)) {
            result.remainders.push_back(bit);
            continue;
        }
        value = value << 1 | bit;
        if (++bits == 8) {
            result.codewords.push_back(value);
            value = bits = 0;
        }
    }
    return result;
}

// The data codewords the stream must become (7.4.9, 7.4.10): the stream's
// bits up to the capacity, zero bits to a codeword boundary, then 0xEC and
// 0x11 in turn.
std::vector<int> PaddedStream(const clsQRCode::BitArray& bits, int length, int dataCodewords)
{
    std::vector<int> stream;
    const int used = std::min(length, dataCodewords * 8);
    for (int start = 0; start < used; start += 8) {
        int value = 0;
        for (int b = start; b < start + 8; ++b) value = value << 1 | (b < used ? bits[b] : 0);
        stream.push_back(value);
    }
    for (int pad = 0; static_cast<int>(stream.size()) < dataCodewords; ++pad)
        stream.push_back(pad % 2 == 0 ? 0xEC : 0x11);
    return stream;
}

TEST(clsQRCodeCodewordTest, EveryVersionAndLevelReadsBackToItsBlocks)
{
    clsQRCode qr;
    qr.SetKanjiAllowed(false);
    auto bits = std::make_unique<clsQRCode::BitArray>();
    std::mt19937 random(7);
    for (int version = 1; version <= 40; ++version)
        for (int level = 1; level <= 4; ++level) {
            const int mask = (version + 3 * level) % 8;
            const std::string what = "version " + std::to_string(version) + "-" +
                                     "LMQH"[level - 1] + ", mask " + std::to_string(mask);
            // Random bytes, from a quarter of the byte capacity (long padding)
            // to the full capacity; at every other version runs of digits
            // among them, so that numeric and byte segments meet at every
            // bit offset.
            const int dataCodewords = qr.DataCodewords(version, level);
            const int capacity = (dataCodewords * 8 - 4 - (version < 10 ? 8 : 16)) / 8;
            std::vector<std::uint8_t> message(capacity / (1 + (version + level) % 4));
            for (std::size_t i = 0; i < message.size();) {
                const bool digits = version % 2 == 0 && random() % 2 == 0;
                for (std::size_t end = std::min(message.size(), i + 1 + random() % 60); i < end;
                     ++i)
                    message[i] = static_cast<std::uint8_t>(digits ? '0' + random() % 10 : random());
            }
            const int length = static_cast<int>(message.size());
            const auto symbol = qr.EncodeMatrix(message.data(), length, version, level, mask);
            ASSERT_TRUE(symbol) << what;
            ASSERT_EQ(qrref::ReadFormatWord(*symbol, true), qrref::FormatWord(level, mask)) << what;

            const ReadBack read = ReadSymbolCodewords(qr, *symbol, version, mask);
            ASSERT_EQ(static_cast<int>(read.codewords.size()), qr.TotalCodewords(version)) << what;
            EXPECT_EQ(std::ranges::count(read.remainders, 1), 0)
                << what << ": remainder modules are light before masking";

            // Table 9: B blocks, the short ones first, data codewords
            // interleaved one column at a time, then the error correction ones.
            const int blocks = qr.BlockCount(version, level);
            const int ec = qr.EcCodewordsPerBlock(version, level);
            const int shortLength = dataCodewords / blocks;
            const int longBlocks = dataCodewords % blocks;
            std::vector<std::vector<int>> block(static_cast<std::size_t>(blocks));
            std::size_t next = 0;
            for (int i = 0; i <= shortLength; ++i)
                for (int b = 0; b < blocks; ++b)
                    if (i < shortLength || b >= blocks - longBlocks)
                        block[b].push_back(read.codewords[next++]);
            ASSERT_EQ(static_cast<int>(next), dataCodewords) << what;
            std::vector<int> data;
            for (const auto& b : block) data.insert(data.end(), b.begin(), b.end());
            for (int i = 0; i < ec; ++i)
                for (int b = 0; b < blocks; ++b) block[b].push_back(read.codewords[next++]);

            for (int b = 0; b < blocks; ++b)
                for (const int syndrome : qrref::Syndromes(block[b], ec))
                    ASSERT_EQ(syndrome, 0) << what << ", block " << b;

            const int streamLength =
                qr.BuildBitStream(*bits, message.data(), length, version, false);
            ASSERT_EQ(data, PaddedStream(*bits, streamLength, dataCodewords)) << what;
        }
}

} // namespace
