// The cheapest segmentation of a message written out the plain way, and a
// parser of the data bit stream (ISO/IEC 18004, 7.4): the oracle of the
// native bit stream tests and of the BitStreamFuzz target.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "clsQRCode.h"

namespace cheapest_segmentation {

// Reads fields most significant bit first from the one-bit-per-entry array.
class StreamReader {
public:
    StreamReader(const clsQRCode::BitArray& bits, int end) : bits_(bits), end_(end) {}

    bool Has(int count) const { return position_ + count <= end_; }
    int Position() const { return position_; }
    // -1 past the stream's end or on an entry that is not 0 or 1.
    int Read(int count)
    {
        if (!Has(count)) return -1;
        int value = 0;
        for (int i = 0; i < count; ++i) {
            const int bit = bits_[position_++];
            if (bit > 1) return -1;
            value = value << 1 | bit;
        }
        return value;
    }

private:
    const clsQRCode::BitArray& bits_;
    int end_;
    int position_ = 0;
};

// Table 3 count widths by class, modes byte, numeric, alphanumeric, kanji.
constexpr int kCountWidth[3][4] = {{8, 10, 9, 8}, {16, 12, 11, 10}, {16, 14, 13, 12}};
constexpr const char* kAlphanumeric = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";

// Parses one segment's data after its mode indicator; false on a malformed one.
inline bool ReadSegmentData(StreamReader& in, int indicator, const int* widths, bool kanjiAllowed,
                     std::vector<std::uint8_t>& out)
{
    switch (indicator) {
    case 0b0100: { // byte
        const int count = in.Read(widths[0]);
        if (count <= 0) return false;
        for (int i = 0; i < count; ++i) {
            const int b = in.Read(8);
            if (b < 0) return false;
            out.push_back(static_cast<std::uint8_t>(b));
        }
        return true;
    }
    case 0b0001: { // numeric: groups of three digits in 10 bits, then 7 or 4
        int count = in.Read(widths[1]);
        if (count <= 0) return false;
        for (; count > 0; count -= 3) {
            const int digits = count >= 3 ? 3 : count;
            const int value = in.Read(digits == 3 ? 10 : digits == 2 ? 7 : 4);
            if (value < 0 || value >= (digits == 3 ? 1000 : digits == 2 ? 100 : 10)) return false;
            for (int d = digits - 1, divisor = digits == 3   ? 100
                                               : digits == 2 ? 10
                                                             : 1;
                 d >= 0; --d, divisor /= 10)
                out.push_back(static_cast<std::uint8_t>('0' + value / divisor % 10));
        }
        return true;
    }
    case 0b0010: { // alphanumeric: pairs as 45a + b in 11 bits, a last one in 6
        int count = in.Read(widths[2]);
        if (count <= 0) return false;
        for (; count >= 2; count -= 2) {
            const int value = in.Read(11);
            if (value < 0 || value >= 45 * 45) return false;
            out.push_back(static_cast<std::uint8_t>(kAlphanumeric[value / 45]));
            out.push_back(static_cast<std::uint8_t>(kAlphanumeric[value % 45]));
        }
        if (count == 1) {
            const int value = in.Read(6);
            if (value < 0 || value >= 45) return false;
            out.push_back(static_cast<std::uint8_t>(kAlphanumeric[value]));
        }
        return true;
    }
    case 0b1000: { // kanji: 13 bits per Shift JIS pair (7.4.6)
        if (!kanjiAllowed) return false;
        const int count = in.Read(widths[3]);
        if (count <= 0) return false;
        for (int i = 0; i < count; ++i) {
            const int value = in.Read(13);
            if (value < 0) return false;
            int code = (value / 0xC0) << 8 | (value % 0xC0);
            code += code < 0x1F00 ? 0x8140 : 0xC140;
            out.push_back(static_cast<std::uint8_t>(code >> 8));
            out.push_back(static_cast<std::uint8_t>(code & 0xFF));
        }
        return true;
    }
    default:
        return false;
    }
}

// A segment as bytes of the message: mode 0 byte, 1 numeric, 2 alphanumeric,
// 3 kanji (the numbering of the segmentation's tie-breaks), length in bytes.
struct Segment {
    int mode;
    int bytes;
    bool operator==(const Segment&) const = default;
};

inline int ModeOf(int indicator)
{
    switch (indicator) {
    case 0b0100:
        return 0;
    case 0b0001:
        return 1;
    case 0b0010:
        return 2;
    default:
        return 3;
    }
}

inline bool ReadSegment(StreamReader& in, int indicator, const int* widths, bool kanjiAllowed,
                 std::vector<std::uint8_t>& out, std::vector<Segment>& segments)
{
    const std::size_t before = out.size();
    if (!ReadSegmentData(in, indicator, widths, kanjiAllowed, out)) return false;
    segments.push_back({ModeOf(indicator), static_cast<int>(out.size() - before)});
    return true;
}

// The cheapest segmentation written out the plain way, as an oracle for the
// encoder's: a full table of (cost, run, predecessor) per byte and mode, every
// candidate of every entry compared in mode order with the lower mode winning
// ties, the path read back from the end, and runs cut at the count field's
// limit. Returns the stream length with the terminator, and the segments.
inline int ReferenceSegmentation(const std::uint8_t* data, int n, int widthClass, bool kanjiAllowed,
                          std::vector<Segment>& segments)
{
    segments.clear();
    if (n <= 0) return 4;
    constexpr int impossible = 0x70000000;
    const int* w = kCountWidth[widthClass];
    int maxCount[4];
    for (int m = 0; m < 4; ++m) maxCount[m] = (1 << w[m]) - 1;
    struct Entry {
        int cost = 0, run = 0, predecessor = 0;
    };
    std::vector<Entry> e(static_cast<std::size_t>(n) * 4);
    auto at = [&](int i, int m) -> Entry& { return e[static_cast<std::size_t>(i) * 4 + m]; };
    auto isDigit = [](int b) { return b >= '0' && b <= '9'; };
    auto isAlnum = [](int b) {
        return b != 0 && b < 128 && std::strchr(kAlphanumeric, b) != nullptr;
    };
    auto isKanji = [](int lead, int trail) {
        if (trail < 0x40) return false;
        if ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xEA)) return true;
        return lead == 0xEB && trail <= 0xBF;
    };
    // The data bits a character adds in mode m after a run of `run` characters.
    auto dataBits = [](int m, int run) {
        switch (m) {
        case 0:
            return 8;
        case 1:
            return run % 3 == 0 ? 4 : 3;
        case 2:
            return run % 2 == 0 ? 6 : 5;
        default:
            return 13;
        }
    };
    // Shift JIS characters from the first byte: a lead byte and the byte after
    // it are one character; a kanji pair must be such a character.
    std::vector<bool> opensPair(static_cast<std::size_t>(n), false);
    for (int i = 0; i < n;) {
        const int b = data[i];
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        opensPair[i] = lead && i + 1 < n;
        i += opensPair[i] ? 2 : 1;
    }
    for (int i = 0; i < n; ++i) {
        for (int m = 0; m < 4; ++m) {
            Entry& entry = at(i, m);
            const bool possible = m == 0 || (m == 1 && isDigit(data[i])) ||
                                  (m == 2 && isAlnum(data[i])) ||
                                  (m == 3 && kanjiAllowed && i >= 1 && opensPair[i - 1] &&
                                   isKanji(data[i - 1], data[i]));
            if (!possible) {
                entry.cost = impossible;
                continue;
            }
            const int back = m == 3 ? i - 2 : i - 1;
            if (back < 0) {
                entry = {4 + w[m] + dataBits(m, 0), 1, -1};
                continue;
            }
            int best = -1, bestCost = 0, bestRun = 0;
            for (int j = 0; j < 4; ++j) {
                const Entry& from = at(back, j);
                const bool continues = j == m && from.run < maxCount[m];
                const int cost =
                    from.cost + (continues ? dataBits(m, from.run) : 4 + w[m] + dataBits(m, 0));
                if (best < 0 || cost < bestCost) {
                    best = j;
                    bestCost = cost;
                    bestRun = continues ? from.run + 1 : 1;
                }
            }
            entry = {bestCost, bestRun, best};
        }
    }
    int last = 0;
    for (int m = 1; m < 4; ++m)
        if (at(n - 1, m).cost < at(n - 1, last).cost) last = m;
    const int result = at(n - 1, last).cost + 4;

    std::vector<int> modes(static_cast<std::size_t>(n));
    for (int p = n - 1, m = last; p >= 0;) {
        const int predecessor = at(p, m).predecessor;
        modes[p] = m;
        if (m == 3) modes[p - 1] = 3;
        p -= m == 3 ? 2 : 1;
        m = predecessor;
    }
    for (int s = 0; s < n;) {
        const int m = modes[s];
        const int limit = m == 3 ? 2 * maxCount[3] : maxCount[m];
        int count = 1;
        while (s + count < n && modes[s + count] == m && count < limit) ++count;
        segments.push_back({m, count});
        s += count;
    }
    return result;
}

// The segments of a written stream of `written` bits, parsed back, and the
// bytes they carry; false on a malformed segment or a missing terminator.
inline bool ParseStream(const clsQRCode::BitArray& bits, int written, int widthClass,
                        bool kanjiAllowed, std::vector<std::uint8_t>& out,
                        std::vector<Segment>& segments)
{
    StreamReader in(bits, written);
    while (in.Has(4) && in.Position() < written - 4)
        if (!ReadSegment(in, in.Read(4), kCountWidth[widthClass], kanjiAllowed, out, segments))
            return false;
    return in.Position() == written - 4 && in.Read(4) == 0;
}

} // namespace cheapest_segmentation
