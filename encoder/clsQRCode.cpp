#include "clsQRCode.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstring>
#include <vector>

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

// The character-count field widths of ISO/IEC 18004 Table 3 by width class
// (versions 1-9, 10-26, 27-40), in mode order byte, numeric, alphanumeric, kanji.
enum Mode { ByteMode = 0, NumericMode = 1, AlphanumericMode = 2, KanjiMode = 3 };
constexpr int kModeCount = 4;
// clang-format off
constexpr int kCountWidth[3][kModeCount] = {
    { 8, 10,  9,  8},
    {16, 12, 11, 10},
    {16, 14, 13, 12},
};
// clang-format on
// Mode indicators of Table 2, in the same mode order.
constexpr int kModeIndicator[kModeCount] = {0b0100, 0b0001, 0b0010, 0b1000};

// Table 5: the alphanumeric values, indexed by byte; -1 outside the set.
constexpr auto kAlphanumericValues = [] {
    std::array<std::int8_t, 256> values{};
    values.fill(-1);
    for (int c = '0'; c <= '9'; ++c) values[c] = static_cast<std::int8_t>(c - '0');
    for (int c = 'A'; c <= 'Z'; ++c) values[c] = static_cast<std::int8_t>(c - 'A' + 10);
    const char others[] = " $%*+-./:";
    for (int i = 0; others[i] != 0; ++i)
        values[static_cast<unsigned char>(others[i])] = static_cast<std::int8_t>(36 + i);
    return values;
}();

// The version ranges searched for an automatic version: the width classes.
constexpr int kVersionRanges[3][2] = {{1, 9}, {10, 26}, {27, 40}};

// The largest number of message bytes any symbol holds: 7089 digits in
// version 40-L (Table 7). Longer messages are refused before any analysis.
constexpr int kMaxMessageBytes = 7089;

// Cost marking a mode that is impossible at a position. Adding a candidate's
// few dozen bits to it stays well inside 32 bits.
constexpr int kImpossible = 0x70000000;

// Formats information (7.9): the mask to apply to the 15-bit word, the BCH
// (15, 5) generator and its top bit.
constexpr int kFormatMask = 0x5412;
constexpr int kFormatGenerator = 0x537;
constexpr int kFormatTopBit = 0x400;
// Version information (7.10): the BCH (18, 6) generator and its top bit.
constexpr int kVersionGenerator = 0x1F25;
constexpr int kVersionTopBit = 0x1000;

// Pad codewords of 7.4.10, alternating from the first.
constexpr std::uint8_t kPadCodewords[2] = {0xEC, 0x11};

int WidthClass(int version) { return version < 10 ? 0 : (version < 27 ? 1 : 2); }

// Writes fields most significant bit first into a BitArray. Past the array's
// end it only counts, so that an over-long stream is measured, never written.
class BitWriter {
public:
    explicit BitWriter(clsQRCode::BitArray& bits) : bits_(bits) {}
    void Write(int value, int width)
    {
        if (position_ + width <= clsQRCode::BitArrayCapacity) {
            // The common case, with no test per bit; constant widths unroll.
            std::uint8_t* out = bits_.data() + position_;
            for (int b = width - 1; b >= 0; --b)
                *out++ = static_cast<std::uint8_t>((value >> b) & 1);
            position_ += width;
            return;
        }
        for (int b = width - 1; b >= 0; --b, ++position_)
            if (position_ < clsQRCode::BitArrayCapacity)
                bits_[position_] = static_cast<std::uint8_t>((value >> b) & 1);
    }
    int Position() const { return position_; }

private:
    clsQRCode::BitArray& bits_;
    int position_ = 0;
};

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

// --- Data analysis and bit stream -------------------------------------------

int clsQRCode::CharClass(std::uint8_t byte)
{
    if (byte >= '0' && byte <= '9') return 1;
    return kAlphanumericValues[byte] >= 0 ? 2 : 0;
}

int clsQRCode::AlphanumericValue(std::uint8_t byte)
{
    return std::max<int>(kAlphanumericValues[byte], 0);
}

bool clsQRCode::IsKanjiPair(int lead, int trail)
{
    // Shift JIS double-byte ranges 8140-9FFC and E040-EBBF (7.4.6); the
    // trail byte is bounded only below, and for lead EB so that the 13-bit
    // value does not overflow.
    if (trail < 0x40) return false;
    if ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xEA)) return true;
    return lead == 0xEB && trail <= 0xBF;
}

namespace {

// Shift JIS lead bytes (JIS X 0208 double-byte ranges): such a byte opens a
// two-byte character together with the byte after it; every other byte is a
// character of its own.
bool IsShiftJisLead(std::uint8_t byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// One entry of the segmentation programme: the cheapest way to end a
// character in a mode at a position.
struct Candidate {
    int cost = 0;        // bits for the message so far, terminator excluded
    int run = 0;         // characters in the current segment
    int predecessor = 0; // mode of the entry reached from, -1 at the start
};

struct Analysis {
    int width[kModeCount];
    int maxCount[kModeCount];
    explicit Analysis(int version)
    {
        const int c = WidthClass(version);
        for (int m = 0; m < kModeCount; ++m) {
            width[m] = kCountWidth[c][m];
            maxCount[m] = (1 << width[m]) - 1;
        }
    }
    int Header(int m) const { return 4 + width[m]; }
};

// Picks the cheapest candidate for mode m from the entries "from", lowest
// mode on equal costs: every candidate pays switchBits (a new segment's
// header and first character) except m's own entry, which pays continueBits
// while its run is below the count limit. Only the first Modes entries are
// looked at; the caller leaves out kanji when it is not allowed, since its
// entries are then impossible everywhere and could never win.
template <int Modes>
Candidate Cheapest(const Candidate* from, int m, int maxCount, int continueBits, int switchBits)
{
    const bool canContinue = from[m].run < maxCount;
    int best = 0;
    int bestCost = from[0].cost + (m == 0 && canContinue ? continueBits : switchBits);
    for (int j = 1; j < Modes; ++j) {
        const int cost = from[j].cost + (j == m && canContinue ? continueBits : switchBits);
        if (cost < bestCost) {
            bestCost = cost;
            best = j;
        }
    }
    return {bestCost, best == m && canContinue ? from[m].run + 1 : 1, best};
}

// The dynamic programme over data[0 .. n-1] (7.4 segment costs). The entries
// only ever look one position back (two for kanji), so three rows are kept;
// predecessors, when not null, receive every entry's predecessor (n * 4) for
// the path recovery. On return last holds the entries of position n-1.
template <int Modes>
void Analyse(const std::uint8_t* data, int n, const Analysis& a, bool kanjiAllowed,
             std::int8_t* predecessors, Candidate (&last)[kModeCount])
{
    // Three rows used in turn, by pointer: copying the rows between
    // positions made the compiler store entries as scalars and reload them
    // as vectors, and every such reload waited for the stores to retire.
    Candidate rows[3][kModeCount]{};
    Candidate* back2 = rows[0];
    Candidate* back1 = rows[1];
    Candidate* current = rows[2];
    constexpr Candidate impossible{kImpossible, 0, 0};
    for (auto& row : rows)
        for (int m = Modes; m < kModeCount; ++m) row[m] = impossible;
    const int byteSwitch = a.Header(ByteMode) + 8;
    const int numericSwitch = a.Header(NumericMode) + 4;
    const int alphanumericSwitch = a.Header(AlphanumericMode) + 6;
    const int kanjiSwitch = a.Header(KanjiMode) + 13;
    // Character boundaries, scanned from the first byte: a kanji segment may
    // only take whole Shift JIS characters, since a reader decodes every pair
    // as one; a pair straddling two characters would come back as other text.
    int nextCharacter = 0; // where the next character starts
    int openedAt = -1;     // where the last two-byte character started

    for (int i = 0; i < n; ++i) {
        const bool closesCharacter = openedAt == i - 1;
        if (i == nextCharacter) {
            const bool twoBytes = IsShiftJisLead(data[i]) && i + 1 < n;
            if (twoBytes) openedAt = i;
            nextCharacter = i + (twoBytes ? 2 : 1);
        }
        const int cls = clsQRCode::CharClass(data[i]);
        if (i == 0) {
            current[ByteMode] = {byteSwitch, 1, -1};
            current[NumericMode] = cls == 1 ? Candidate{numericSwitch, 1, -1} : impossible;
            current[AlphanumericMode] =
                cls != 0 ? Candidate{alphanumericSwitch, 1, -1} : impossible;
            if constexpr (Modes > KanjiMode) current[KanjiMode] = impossible;
        } else {
            // Byte mode: always possible.
            current[ByteMode] =
                Cheapest<Modes>(back1, ByteMode, a.maxCount[ByteMode], 8, byteSwitch);
            // Numeric mode: 10 bits per three digits, 4 for a last single digit, 7 for a pair.
            current[NumericMode] =
                cls != 1
                    ? impossible
                    : Cheapest<Modes>(back1, NumericMode, a.maxCount[NumericMode],
                                      3 + (back1[NumericMode].run % 3 == 0 ? 1 : 0), numericSwitch);
            // Alphanumeric mode: 11 bits per pair, 6 for a last single character.
            current[AlphanumericMode] =
                cls == 0 ? impossible
                         : Cheapest<Modes>(back1, AlphanumericMode, a.maxCount[AlphanumericMode],
                                           5 + (back1[AlphanumericMode].run % 2 == 0 ? 1 : 0),
                                           alphanumericSwitch);
            // Kanji mode: byte i closes a double-byte character that starts at i-1.
            if constexpr (Modes > KanjiMode) {
                if (!kanjiAllowed || !closesCharacter ||
                    !clsQRCode::IsKanjiPair(data[i - 1], data[i]))
                    current[KanjiMode] = impossible;
                else if (i == 1) current[KanjiMode] = {kanjiSwitch, 1, -1};
                else
                    current[KanjiMode] =
                        Cheapest<Modes>(back2, KanjiMode, a.maxCount[KanjiMode], 13, kanjiSwitch);
            }
        }
        if (predecessors != nullptr)
            for (int m = 0; m < Modes; ++m)
                predecessors[static_cast<std::size_t>(i) * kModeCount + m] =
                    static_cast<std::int8_t>(current[m].predecessor);
        Candidate* oldest = back2;
        back2 = back1;
        back1 = current;
        current = oldest;
    }
    std::copy(back1, back1 + kModeCount, std::begin(last));
}

} // namespace

int clsQRCode::BuildBitStream(BitArray& bits, const std::uint8_t* data, int length, int version,
                              bool measureOnly) const
{
    if (length <= 0) {
        std::fill_n(bits.begin(), 4, std::uint8_t{0});
        return 4;
    }
    const int n = length;
    const Analysis a(version);

    // The predecessors are kept for path recovery only when the stream is written.
    std::vector<std::int8_t> predecessors;
    if (!measureOnly) predecessors.resize(static_cast<std::size_t>(n) * kModeCount);
    Candidate back1[kModeCount];
    std::int8_t* record = measureOnly ? nullptr : predecessors.data();
    if (kanjiAllowed_) Analyse<kModeCount>(data, n, a, true, record, back1);
    else Analyse<KanjiMode>(data, n, a, false, record, back1);

    // The final mode: the cheapest end, lowest mode number on equal costs.
    int last = 0;
    for (int m = 1; m < kModeCount; ++m)
        if (back1[m].cost < back1[last].cost) last = m;
    if (measureOnly) return back1[last].cost + 4;

    // Path recovery: the mode in which every byte is written.
    std::vector<std::uint8_t> modes(static_cast<std::size_t>(n));
    // Run by run: within a run the predecessor is the entry's own mode, so
    // the loop branch is predicted and each load's address is known without
    // waiting for the previous load, which a plain chase would do per byte.
    for (int p = n - 1, m = last; p >= 0;) {
        assert(m >= 0);
        const int step = m == KanjiMode ? 2 : 1;
        int predecessor;
        do {
            predecessor = predecessors[static_cast<std::size_t>(p) * kModeCount + m];
            modes[p] = static_cast<std::uint8_t>(m);
            if (m == KanjiMode) modes[p - 1] = KanjiMode;
            p -= step;
        } while (p >= 0 && predecessor == m);
        m = predecessor;
    }
    predecessors = {};

    // Segmentation and writing (7.4.2 to 7.4.6). Runs longer than a count
    // field holds are cut at its limit, as the programme charged them; kanji
    // runs are counted in bytes here.
    BitWriter out(bits);
    for (int s = 0; s < n;) {
        const int m = modes[s];
        const int limit = m == KanjiMode ? 2 * a.maxCount[KanjiMode] : a.maxCount[m];
        int count = 1;
        while (s + count < n && modes[s + count] == m && count < limit) ++count;
        const std::uint8_t* segment = data + s;

        out.Write(kModeIndicator[m], 4);
        switch (m) {
        case ByteMode:
            out.Write(count, a.width[m]);
            for (int i = 0; i < count; ++i) out.Write(segment[i], 8);
            break;
        case NumericMode: {
            out.Write(count, a.width[m]);
            int i = 0;
            for (; i + 3 <= count; i += 3)
                out.Write(100 * (segment[i] & 0x0F) + 10 * (segment[i + 1] & 0x0F) +
                              (segment[i + 2] & 0x0F),
                          10);
            if (count - i == 1) out.Write(segment[i] & 0x0F, 4);
            else if (count - i == 2)
                out.Write(10 * (segment[i] & 0x0F) + (segment[i + 1] & 0x0F), 7);
            break;
        }
        case AlphanumericMode: {
            out.Write(count, a.width[m]);
            int i = 0;
            for (; i + 2 <= count; i += 2)
                out.Write(45 * AlphanumericValue(segment[i]) + AlphanumericValue(segment[i + 1]),
                          11);
            if (i < count) out.Write(AlphanumericValue(segment[i]), 6);
            break;
        }
        case KanjiMode:
            out.Write(count / 2, a.width[m]);
            for (int i = 0; i < count; i += 2) {
                const int lead = segment[i];
                const int trail = segment[i + 1];
                const int base = lead <= 0x9F ? 0x81 : 0xC1;
                out.Write((lead - base) * 0xC0 + trail - 0x40, 13);
            }
            break;
        }
        s += count;
    }
    out.Write(0, 4); // terminator
    return out.Position();
}

// --- Function patterns (6.3) -------------------------------------------------

namespace {

// Light (2) and dark (1) cells of an alignment pattern centred at (r, c).
void PlaceAlignmentPattern(ModuleMatrix& matrix, int r, int c)
{
    for (int dr = -2; dr <= 2; ++dr)
        for (int dc = -2; dc <= 2; ++dc) {
            const bool dark = dr == -2 || dr == 2 || dc == -2 || dc == 2 || (dr == 0 && dc == 0);
            matrix.At(r + dr, c + dc) = dark ? 1 : 2;
        }
}

} // namespace

void clsQRCode::BuildFunctionPatterns(ModuleMatrix& matrix, int version) const
{
    if (version < 1 || version > 40) return;
    const int size = SymbolSize(version);
    assert(matrix.Size() == size);

    // 1. Finder patterns (6.3.3) with their separators facing the symbol.
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j) {
            std::uint8_t value;
            if (i == 7 || j == 7) value = 2;
            else if (((i == 1 || i == 5) && j >= 1 && j <= 5) ||
                     ((j == 1 || j == 5) && i >= 1 && i <= 5))
                value = 2;
            else value = 1;
            matrix.At(i, j) = value;
            matrix.At(i, size - 1 - j) = value;
            matrix.At(size - 1 - i, j) = value;
        }

    // 2. Format information areas (7.9), reserved.
    for (int i = 0; i < 8; ++i) {
        matrix.At(8, i) = 2;
        matrix.At(i, 8) = 2;
        matrix.At(8, size - 1 - i) = 2;
        matrix.At(size - 1 - i, 8) = 2;
    }
    matrix.At(8, 8) = 2;

    // 3. The dark module beside the lower-left format area.
    matrix.At(size - 8, 8) = 1;

    // 4. Version information areas (7.10), from version 7.
    if (version >= 7)
        for (int r = size - 11; r <= size - 9; ++r)
            for (int c = 0; c <= 6; ++c) {
                matrix.At(r, c) = 2;
                matrix.At(c, r) = 2;
            }

    // 5. Timing patterns (6.3.5), dark on even coordinates.
    for (int k = 8; k <= size - 9; ++k) {
        const std::uint8_t value = (k % 2 == 0) ? 1 : 2;
        matrix.At(6, k) = value;
        matrix.At(k, 6) = value;
    }

    // 6. Alignment patterns (6.3.6): every pair of centre coordinates except
    // the three under the finders.
    if (version >= 2) {
        const int spacing = AlignmentSpacing(version);
        for (int r = size - 7; r >= 18; r -= spacing)
            for (int c = size - 7; c >= 18; c -= spacing) PlaceAlignmentPattern(matrix, r, c);
        for (int c = size - 7 - spacing; c >= 18; c -= spacing) {
            PlaceAlignmentPattern(matrix, 6, c);
            PlaceAlignmentPattern(matrix, c, 6);
        }
    }
}

// --- Masking (7.8.2) ------------------------------------------------------------

namespace {

// XORs 1 into every cell whose condition holds. Every pattern of Table 10
// depends on the column only through j mod 6 (j mod 2, j mod 3, j div 3 mod 2,
// i * j mod 6) and on the row only through i mod 12, so the condition is
// evaluated for twelve rows of 180 columns (a multiple of 6) and the grid then
// takes one XOR per cell from those rows, a loop the compiler vectorises. The
// product i * j is kept as a running sum while the rows are worked out.
template <typename Condition>
void XorPattern(std::span<std::uint8_t> grid, int size, Condition condition)
{
    constexpr int rowPeriod = 12;
    constexpr int width = 180;
    if (size <= 0) return;
    // Only as many rows and columns as a small symbol needs.
    const int patternRows = std::min(rowPeriod, size);
    const int patternWidth = std::min(width, (size + 5) / 6 * 6);
    std::uint8_t rows[rowPeriod][width];
    for (int i = 0; i < patternRows; ++i) {
        int product = 0;
        for (int j = 0; j < patternWidth; ++j, product += i)
            rows[i][j] = condition(i, j, product) ? 1 : 0;
    }
    std::uint8_t* cell = grid.data();
    for (int i = 0; i < size; ++i) {
        const std::uint8_t* pattern = rows[i % rowPeriod];
        for (int start = 0; start < size; start += patternWidth) {
            const int count = std::min(patternWidth, size - start);
            for (int j = 0; j < count; ++j) cell[j] ^= pattern[j];
            cell += count;
        }
    }
}

} // namespace

int clsQRCode::ApplyMask(std::span<std::uint8_t> grid, int size, int mask) const
{
    assert(grid.size() >= static_cast<std::size_t>(size) * size);
    if (mask < 0 || mask > 7) mask = 0;
    // Table 10: the data mask pattern conditions, i the row and j the column.
    switch (mask) {
    case 0:
        XorPattern(grid, size, [](int i, int j, int) { return (i + j) % 2 == 0; });
        break;
    case 1:
        XorPattern(grid, size, [](int i, int, int) { return i % 2 == 0; });
        break;
    case 2:
        XorPattern(grid, size, [](int, int j, int) { return j % 3 == 0; });
        break;
    case 3:
        XorPattern(grid, size, [](int i, int j, int) { return (i + j) % 3 == 0; });
        break;
    case 4:
        XorPattern(grid, size, [](int i, int j, int) { return (i / 2 + j / 3) % 2 == 0; });
        break;
    case 5:
        XorPattern(grid, size, [](int, int, int ij) { return ij % 2 + ij % 3 == 0; });
        break;
    case 6:
        XorPattern(grid, size, [](int, int, int ij) { return (ij % 2 + ij % 3) % 2 == 0; });
        break;
    case 7:
        XorPattern(grid, size,
                   [](int i, int j, int ij) { return ((i + j) % 2 + ij % 3) % 2 == 0; });
        break;
    }
    return mask;
}

// --- The encode pipeline ---------------------------------------------------------

namespace {

// The format information bit positions (7.9.1, Figure 25): bit 14 first.
// First copy around the top-left finder, (row, column).
// clang-format off
constexpr int kFormatFirstCopy[15][2] = {
    {8, 0}, {8, 1}, {8, 2}, {8, 3}, {8, 4}, {8, 5}, {8, 7}, {8, 8},
    {7, 8}, {5, 8}, {4, 8}, {3, 8}, {2, 8}, {1, 8}, {0, 8},
};
// clang-format on

// The eight one-bit entries of every byte value, most significant first: a
// codeword goes into a BitArray as one 8-byte copy.
constexpr auto kCodewordBits = [] {
    std::array<std::array<std::uint8_t, 8>, 256> table{};
    for (int value = 0; value < 256; ++value)
        for (int b = 0; b < 8; ++b)
            table[value][b] = static_cast<std::uint8_t>((value >> (7 - b)) & 1);
    return table;
}();

int ReadCodeword(const clsQRCode::BitArray& bits, int index)
{
    const std::uint8_t* entries = bits.data() + 8 * index;
    if constexpr (std::endian::native == std::endian::little) {
        // Entry b (0 or 1) sits at bit 8b of the loaded word; the multiplier
        // moves it to bit 63 - b, so the top byte is the codeword, entry 0
        // its most significant bit, and no two partial products overlap.
        std::uint64_t word;
        std::memcpy(&word, entries, sizeof word);
        return static_cast<int>((word * 0x8040201008040201ull) >> 56);
    } else {
        int value = 0;
        for (int b = 0; b < 8; ++b) value = (value << 1) | entries[b];
        return value;
    }
}

void WriteCodeword(clsQRCode::BitArray& bits, int index, int value)
{
    std::memcpy(bits.data() + 8 * index, kCodewordBits[value & 0xFF].data(), 8);
}

} // namespace

std::optional<ModuleMatrix> clsQRCode::EncodeMatrix(const std::uint8_t* data, int dataLength,
                                                    int version, int ecLevel, int mask)
{
    // 1. Out-of-range options: level M, and (step 12) mask 0.
    if (ecLevel < 1 || ecLevel > 4) ecLevel = 2;
    // 2. Negative versions are Micro QR, which is not built.
    if (version < 0) return std::nullopt;
    // No data where some are promised is a caller's fault, not an empty message.
    if (data == nullptr && dataLength > 0) return std::nullopt;
    if (dataLength < 0) dataLength = 0;
    if (dataLength > kMaxMessageBytes) return std::nullopt;

    // 3. The data stream. Not zero-filled: every entry that is ever read, the
    // first K * 8, is written below, by the stream itself or by the padding,
    // and zeroing the other 32 KB would cost more than the segmentation of a
    // short message.
    BitArray stream;

    // 4. Automatic version: one measurement per width class, then the first
    // version whose data capacity holds the message bits (the terminator may be
    // cut short, 7.4.9).
    if (version == 0 || version > 40) {
        version = 0;
        for (const auto& range : kVersionRanges) {
            const int length = BuildBitStream(stream, data, dataLength, range[0], true);
            for (int v = range[0]; v <= range[1] && version == 0; ++v)
                if (DataCodewords(v, ecLevel) * 8 >= length - 4) version = v;
            if (version != 0) break;
        }
        if (version == 0) return std::nullopt;
    }

    // 5. The stream for the version, terminator included.
    const int length = BuildBitStream(stream, data, dataLength, version, false);

    // 6. Capacity test; a stream longer than the array was only counted.
    const int dataCodewords = DataCodewords(version, ecLevel);
    const int dataBits = dataCodewords * 8;
    if (dataBits < length - 4 || length > BitArrayCapacity) return std::nullopt;

    // 7. Padding (7.4.10): zero bits to the codeword boundary, then 0xEC 0x11 ...
    int position = std::min(length, dataBits);
    while (position % 8 != 0) stream[position++] = 0;
    for (int pad = 0; position < dataBits; position += 8, ++pad)
        WriteCodeword(stream, position / 8, kPadCodewords[pad % 2]);

    // 8. Block split (Table 9): the short blocks first, one data codeword fewer.
    const int blocks = BlockCount(version, ecLevel);
    const int ecPerBlock = EcCodewordsPerBlock(version, ecLevel);
    const int longData = (dataCodewords + blocks - 1) / blocks;
    const int remainder = dataCodewords % blocks;
    const int shortBlocks = remainder == 0 ? 0 : blocks - remainder;

    // 9. One code serves every block: a short block is a long one with a zero
    // leading coefficient.
    // Interleaved codewords: all TotalCodewords are written below. Only the
    // entries just past them are zeroed, for the remainder modules (at most 7)
    // that placement fills from there.
    BitArray codewordBits;
    std::fill_n(codewordBits.begin() + TotalCodewords(version) * 8, 8, std::uint8_t{0});
    if (!field_) {
        field_ = std::make_unique<clsFiniteField>();
        field_->InitField(256, 285, 2);
    }
    if (!coder_) coder_ = std::make_unique<clsReedSolomon>();
    coder_->InitCode(longData, ecPerBlock, field_.get(), 0, 0);

    // 10. Error correction per block and interleaving (7.6): data codeword i
    // of block b goes to i * B + b, the long blocks' last one to (N-1) * B + b - S.
    std::int32_t blockBuffer[256];
    for (int b = 0, source = 0; b < blocks; ++b) {
        const bool isShort = b < shortBlocks;
        const int blockData = isShort ? longData - 1 : longData;
        const int top = longData + ecPerBlock - 1;
        blockBuffer[top] = 0;
        for (int i = 0, d = b; i < blockData; ++i, ++source) {
            const int codeword = ReadCodeword(stream, source);
            WriteCodeword(codewordBits, d, codeword);
            blockBuffer[top - i - (isShort ? 1 : 0)] = codeword;
            d += blocks;
            if (!isShort && i == longData - 2) d -= shortBlocks;
        }
        coder_->EncodeBlock(blockBuffer);
        for (int idx = 0; idx < ecPerBlock; ++idx)
            WriteCodeword(codewordBits, dataCodewords + b + idx * blocks,
                          blockBuffer[ecPerBlock - 1 - idx]);
    }

    // 11. The function-pattern template.
    const int size = SymbolSize(version);
    ModuleMatrix matrix(size);
    BuildFunctionPatterns(matrix, version);

    // 12a. Placement (7.7.3): two-module columns from the right, alternately
    // upwards and downwards, skipping the vertical timing column 6.
    // Branch-free: every cell of the path takes the next bit or a 0, and only
    // a free cell moves on to the following bit. What lands on a function
    // module is discarded by the merge; the free cells past the last codeword
    // (the remainder bits) read the zero entries after it, since a symbol has
    // at most 7 remainder bits and the BitArray is zero beyond the codewords.
    std::vector<std::uint8_t> grid(static_cast<std::size_t>(size) * size, 0);
    const std::uint8_t* bitsOut = codewordBits.data();
    // One column pair from (startRow, c + 1) over size rows, one row step at a
    // time; the cell pointers move by whole rows instead of being recomputed.
    auto placePair = [&](int startRow, int step, int c) {
        const std::uint8_t* t =
            matrix.Data() + static_cast<std::ptrdiff_t>(startRow) * matrix.Stride() + c;
        std::uint8_t* g = grid.data() + static_cast<std::ptrdiff_t>(startRow) * size + c;
        const std::ptrdiff_t templateStep = static_cast<std::ptrdiff_t>(step) * matrix.Stride();
        const std::ptrdiff_t gridStep = static_cast<std::ptrdiff_t>(step) * size;
        for (int row = 0; row < size; ++row, t += templateStep, g += gridStep) {
            if ((t[0] | t[1]) == 0) { // both free: most rows of most pairs
                g[1] = bitsOut[0];
                g[0] = bitsOut[1];
                bitsOut += 2;
                continue;
            }
            const int freeRight = t[1] == 0 ? 1 : 0;
            g[1] = static_cast<std::uint8_t>(*bitsOut & -freeRight);
            bitsOut += freeRight;
            const int freeLeft = t[0] == 0 ? 1 : 0;
            g[0] = static_cast<std::uint8_t>(*bitsOut & -freeLeft);
            bitsOut += freeLeft;
        }
    };
    for (int l = size; l >= 5;) {
        int c = l - 2;
        if (c < 6) --c;
        placePair(size - 1, -1, c); // upwards
        l -= 4;
        c = l;
        if (c < 6) --c;
        placePair(0, 1, c); // downwards
    }

    // 12b. Masking, then the merge: function modules keep their colour.
    mask = ApplyMask(grid, size, mask);
    // (template cell if not 0, else the grid's) AND 1, without a branch: the
    // function modules are scattered too finely for the predictor.
    for (int row = 0; row < size; ++row) {
        std::uint8_t* cells = &matrix.At(row, 0);
        const std::uint8_t* masked = grid.data() + static_cast<std::size_t>(row) * size;
        for (int column = 0; column < size; ++column) {
            const std::uint8_t cell = cells[column];
            cells[column] =
                static_cast<std::uint8_t>((cell | (masked[column] & (cell == 0 ? 1 : 0))) & 1);
        }
    }

    // 12c. Version information (7.10), unmasked: bit t at (size-11 + t%3, t/3)
    // and its transpose.
    if (version >= 7) {
        const int word =
            BchRemainder(version, kVersionGenerator, kVersionTopBit, 12) | (version << 12);
        for (int t = 0; t < 18; ++t) {
            const std::uint8_t bit = (word & bitWeight_[t]) ? 1 : 0;
            matrix.At(size - 11 + t % 3, t / 3) = bit;
            matrix.At(t / 3, size - 11 + t % 3) = bit;
        }
    }

    // 12d. Format information (7.9): level bits L 01, M 00, Q 11, H 10, then the mask.
    const int formatData = ((ecLevel - 1) ^ 1) * 8 + mask;
    const int format =
        ((formatData << 10) | BchRemainder(formatData, kFormatGenerator, kFormatTopBit, 10)) ^
        kFormatMask;
    for (int i = 0; i < 15; ++i) {
        const int t = 14 - i;
        const std::uint8_t bit = (format & bitWeight_[t]) ? 1 : 0;
        matrix.At(kFormatFirstCopy[i][0], kFormatFirstCopy[i][1]) = bit;
        if (t >= 8) matrix.At(size - 1 - i, 8) = bit;
        else matrix.At(8, size - 1 - t) = bit;
    }
    return matrix;
}

int clsQRCode::FittingVersion(const std::uint8_t* data, int dataLength, int version,
                              int ecLevel) const
{
    // The option handling of EncodeMatrix, steps 1 and 2.
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
    // One measurement per width class (Table 3), as in EncodeMatrix step 4.
    for (const auto& range : kVersionRanges) {
        const int length = BuildBitStream(scratch, data, dataLength, range[0], true);
        for (int v = range[0]; v <= range[1]; ++v)
            if (holds(v, length)) return v;
    }
    return 0;
}
