// libFuzzer target: the whole portable pipeline, bytes to module matrix, read
// back by an independent decoder.
//
// Input: byte 0 picks the version (-3 .. 44: negative gives no symbol, 0 and
// above 40 search), byte 1 the level (-1 .. 5, outside 1..4 meaning M), byte 2
// the mask (-2 .. 8, outside 0..7 meaning 0), bit 0 of byte 3 the kanji switch
// and bit 1 the drawing scale (2 or 3 pixels per module); the rest is the
// message. Every outcome is checked: a symbol exactly when the message fits,
// the smallest version when searching, the level and mask of the format
// information, and ZXing-cpp reading the message back to the very bytes.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "SymbolReader.h"
#include "clsQRCode.h"

namespace {

[[noreturn]] void Fail(const char* what, int version, int level, int mask, int length)
{
    std::fprintf(stderr, "round trip fault: %s (version %d, level %d, mask %d, %d bytes)\n", what,
                 version, level, mask, length);
    std::abort();
}

int WidthClassStart(int version) { return version < 10 ? 1 : version < 27 ? 10 : 27; }

// Whether the message fits version v at the level: the message bits must fit
// the data codewords, the terminator may be cut short (ISO/IEC 18004, 7.4.9).
bool Fits(const clsQRCode& coder, clsQRCode::BitArray& bits, const std::uint8_t* data, int length,
          int v, int level)
{
    const int streamBits = coder.BuildBitStream(bits, data, length, WidthClassStart(v), true);
    return streamBits - 4 <= coder.DataCodewords(v, level) * 8;
}

// The 15-bit format word's first copy around the top-left finder (7.9.1),
// bit 14 first, with the fixed XOR pattern removed.
int ReadFormatWord(const ModuleMatrix& m)
{
    static constexpr int kCells[15][2] = {{8, 0}, {8, 1}, {8, 2}, {8, 3}, {8, 4},
                                          {8, 5}, {8, 7}, {8, 8}, {7, 8}, {5, 8},
                                          {4, 8}, {3, 8}, {2, 8}, {1, 8}, {0, 8}};
    int word = 0;
    for (const auto& cell : kCells) word = word << 1 | m.At(cell[0], cell[1]);
    return word ^ 0x5412;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    if (size < 4 || size > 8000) return 0;
    static const auto coder = std::make_unique<clsQRCode>();
    static auto bits = std::make_unique<clsQRCode::BitArray>();

    const int version = input[0] % 48 - 3;
    const int level = input[1] % 7 - 1;
    const int mask = input[2] % 11 - 2;
    coder->SetKanjiAllowed((input[3] & 1) != 0);
    const int pixelsPerModule = 2 + ((input[3] >> 1) & 1);
    const std::uint8_t* data = input + 4;
    const int length = static_cast<int>(size - 4);
    const int effectiveLevel = level >= 1 && level <= 4 ? level : 2;
    const int effectiveMask = mask >= 0 && mask <= 7 ? mask : 0;

    // 1. The version a symbol must have, or 0 for none.
    int expected = 0;
    if (version >= 1 && version <= 40) {
        expected = Fits(*coder, *bits, data, length, version, effectiveLevel) ? version : 0;
    } else if (version == 0 || version > 40) {
        for (int v = 1; v <= 40 && expected == 0; ++v)
            if (Fits(*coder, *bits, data, length, v, effectiveLevel)) expected = v;
    }

    // 2. The symbol itself.
    const auto matrix =
        coder->EncodeMatrix(length > 0 ? data : nullptr, length, version, level, mask);
    if (!matrix) {
        if (expected != 0) Fail("no symbol for a message that fits", version, level, mask, length);
        return 0;
    }
    if (expected == 0)
        Fail("a symbol for a message that does not fit", version, level, mask, length);
    if (matrix->Size() != coder->SymbolSize(expected))
        Fail("wrong version", version, level, mask, length);
    for (int r = 0; r < matrix->Stride(); ++r)
        for (int c = 0; c < matrix->Stride(); ++c) {
            const int cell = matrix->At(r, c);
            if (cell > 1 || (cell != 0 && (r >= matrix->Size() || c >= matrix->Size())))
                Fail("cell outside 0/1 or padding not light", version, level, mask, length);
        }

    // 3. Format information: level bits L 01, M 00, Q 11, H 10, then the mask.
    const int format = ReadFormatWord(*matrix);
    if (((format >> 13) ^ 1) + 1 != effectiveLevel)
        Fail("format names another level", version, level, mask, length);
    if (((format >> 10) & 7) != effectiveMask)
        Fail("format names another mask", version, level, mask, length);

    // 4. Read back by ZXing-cpp, raw bytes compared.
    const auto read =
        ReadSymbolBytes(matrix->Data(), matrix->Size(), matrix->Stride(), pixelsPerModule);
    if (!read) Fail("ZXing cannot read the symbol", version, level, mask, length);
    if (read->size() != static_cast<std::size_t>(length) ||
        !std::equal(read->begin(), read->end(), data))
        Fail("ZXing reads other bytes", version, level, mask, length);
    return 0;
}
