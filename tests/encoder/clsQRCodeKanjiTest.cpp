// Kanji mode (ISO/IEC 18004, 7.4.6): the kanji test at the edges of the
// Shift JIS double-byte ranges, and Shift JIS text, mixed with one-byte
// characters, coming back out of an independent reader as the very text.
// Every Shift JIS byte here is made by the C library's iconv, never written
// by hand.

#include "clsQRCode.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "ZxingReader.h"

namespace {

// text converted between two iconv encodings; nothing when iconv refuses any of it.
std::optional<std::string> Convert(const std::string& text, const char* from, const char* to)
{
    const iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string in = text;
    std::string out(text.size() * 4 + 8, '\0');
    char* inPointer = in.data();
    char* outPointer = out.data();
    std::size_t inLeft = in.size(), outLeft = out.size();
    const std::size_t result = iconv(cd, &inPointer, &inLeft, &outPointer, &outLeft);
    iconv_close(cd);
    if (result == static_cast<std::size_t>(-1) || inLeft != 0) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

std::vector<std::uint8_t> ShiftJis(const std::string& utf8)
{
    const std::optional<std::string> sjis = Convert(utf8, "UTF-8", "SHIFT_JIS");
    EXPECT_TRUE(sjis) << utf8;
    return sjis ? Bytes(*sjis) : std::vector<std::uint8_t>{};
}

std::string Repeat(const std::string& s, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i) out += s;
    return out;
}

// A segment of the stream: mode indicator and character count.
struct Segment {
    int indicator;
    int count;
    bool operator==(const Segment&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Segment& s)
{
    return out << "{" << s.indicator << ", " << s.count << "}";
}

constexpr int kByte = 0b0100, kNumeric = 0b0001, kAlphanumeric = 0b0010, kKanji = 0b1000;

// The segment headers of the version 1 stream (count widths of Table 3 for
// versions 1 to 9), the data of each segment skipped by its length in bits.
std::vector<Segment> SegmentsAtVersion1(const clsQRCode& qr, const std::vector<std::uint8_t>& data)
{
    auto bits = std::make_unique<clsQRCode::BitArray>();
    const int length =
        qr.BuildBitStream(*bits, data.data(), static_cast<int>(data.size()), 1, false);
    int position = 0;
    auto read = [&](int width) {
        int value = 0;
        for (int i = 0; i < width; ++i) value = value * 2 + (*bits)[position++];
        return value;
    };
    std::vector<Segment> segments;
    while (position < length - 4) {
        const int indicator = read(4);
        int count = 0;
        switch (indicator) {
        case kByte:
            count = read(8);
            position += 8 * count;
            break;
        case kNumeric:
            count = read(10);
            position += 10 * (count / 3) + (count % 3 == 0 ? 0 : count % 3 == 1 ? 4 : 7);
            break;
        case kAlphanumeric:
            count = read(9);
            position += 11 * (count / 2) + 6 * (count % 2);
            break;
        case kKanji:
            count = read(8);
            position += 13 * count;
            break;
        default:
            ADD_FAILURE() << "mode indicator " << indicator;
            return segments;
        }
        segments.push_back({indicator, count});
    }
    return segments;
}

// The offsets at which Shift JIS characters start, scanning from the first
// byte: 81-9F and E0-FC open a two-byte character.
std::vector<bool> CharacterStarts(const std::vector<std::uint8_t>& data)
{
    std::vector<bool> starts(data.size() + 1, false);
    for (std::size_t i = 0; i < data.size();) {
        starts[i] = true;
        const int b = data[i];
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        i += lead && i + 1 < data.size() ? 2 : 1;
    }
    starts[data.size()] = true;
    return starts;
}

// Every kanji segment starts at a character boundary; since it then takes
// whole two-byte characters, it ends at one too.
void ExpectKanjiOnCharacters(const clsQRCode& qr, const std::vector<std::uint8_t>& data,
                             const std::string& what)
{
    const std::vector<bool> starts = CharacterStarts(data);
    std::size_t offset = 0;
    for (const Segment& s : SegmentsAtVersion1(qr, data)) {
        if (s.indicator == kKanji) {
            EXPECT_TRUE(starts[offset]) << what << ": kanji segment at byte " << offset;
        }
        offset += s.indicator == kKanji ? 2 * s.count : s.count;
    }
    EXPECT_EQ(offset, data.size()) << what;
}

// Encodes the Shift JIS bytes of utf8 and reads the symbol back with
// ZXing-cpp taking byte segments as Shift JIS: the text must come back.
void ExpectTextReadsBack(clsQRCode& qr, const std::string& utf8, int level, const std::string& what)
{
    const std::vector<std::uint8_t> sjis = ShiftJis(utf8);
    const auto symbol = qr.EncodeMatrix(sjis.data(), static_cast<int>(sjis.size()), 0, level, 3);
    ASSERT_TRUE(symbol) << what;
    const auto decoded = ReadSymbol(*symbol, 3, 4, "Shift_JIS");
    ASSERT_TRUE(decoded) << what;
    EXPECT_EQ(decoded->text, utf8) << what;
    EXPECT_EQ(decoded->bytes, sjis) << what;
}

TEST(clsQRCodeKanjiTest, KanjiPairAtTheEdgesOfBothLeadRanges)
{
    // 7.4.6: the double-byte values 8140-9FFC and E040-EBBF, trail bytes from 40.
    for (int lead : {0x80, 0x81, 0x9F, 0xA0, 0xDF, 0xE0, 0xEA, 0xEB, 0xEC})
        for (int trail : {0x3F, 0x40, 0xBF, 0xC0, 0xFC}) {
            const int code = lead << 8 | trail;
            const bool expected = trail >= 0x40 && ((code >= 0x8140 && code <= 0x9FFC) ||
                                                    (code >= 0xE040 && code <= 0xEBBF));
            EXPECT_EQ(clsQRCode::IsKanjiPair(lead, trail), expected)
                << std::hex << lead << " " << trail;
        }
}

TEST(clsQRCodeKanjiTest, KanjiSegmentsTakeWholeCharacters)
{
    clsQRCode qr;
    // 字 is 8E 9A: its trail byte is itself a lead byte, so 9A 8E also passes
    // the kanji test; ｱ (B1) is one byte.
    const std::string ji = "\xE5\xAD\x97", a = "\xEF\xBD\xB1";
    ASSERT_EQ(ShiftJis(ji), (std::vector<std::uint8_t>{0x8E, 0x9A}));
    ASSERT_EQ(ShiftJis(a), (std::vector<std::uint8_t>{0xB1}));

    // Twenty kanji between two one-byte characters: the kanji stay one segment.
    const std::vector<std::uint8_t> long20 = ShiftJis("a" + Repeat(ji, 20) + a);
    EXPECT_EQ(SegmentsAtVersion1(qr, long20),
              (std::vector<Segment>{{kByte, 1}, {kKanji, 20}, {kByte, 1}}));

    // Characters at the edges of both lead ranges (8140, 9FFC, E040, EAA4) are
    // whole characters, kanji like any other.
    std::string edges;
    for (const char* sjis : {"\x81\x40", "\x9F\xFC", "\xE0\x40", "\xEA\xA4"}) {
        const auto text = Convert(sjis, "SHIFT_JIS", "UTF-8");
        ASSERT_TRUE(text) << sjis;
        edges += *text;
    }
    EXPECT_EQ(SegmentsAtVersion1(qr, ShiftJis("a" + Repeat(edges, 5) + a)),
              (std::vector<Segment>{{kByte, 1}, {kKanji, 20}, {kByte, 1}}));

    // Five: a straddling segment (9A 8E) x 4, (9A B1) would be cheaper than
    // the honest one, but only whole characters may be kanji.
    for (const std::string& text :
         {"a" + Repeat(ji, 5) + a, "a" + Repeat(ji, 20) + a, a + Repeat(ji, 7) + "1",
          "12" + Repeat(a + ji, 9) + "AB", Repeat(ji + a, 12), "a" + Repeat(edges, 5) + a}) {
        ExpectKanjiOnCharacters(qr, ShiftJis(text), text);
        for (int level = 1; level <= 4; ++level) ExpectTextReadsBack(qr, text, level, text);
    }
}

TEST(clsQRCodeKanjiTest, RandomShiftJisTextReadsBack)
{
    // Characters of three kinds: ASCII (without 5C and 7E, which Shift JIS
    // readers take as yen sign and overline), half-width katakana (A1-DF) and
    // two-byte characters of JIS X 0208, drawn as random byte pairs and kept
    // when iconv knows them. Seven symbols of row 1 are left out: iconv and
    // ZXing-cpp map them to different Unicode look-alikes (the Windows code
    // page 932 mapping against the JIS one), though the bytes agree.
    const int lookAlikes[] = {0x815F, 0x8160, 0x8161, 0x817C, 0x8191, 0x8192, 0x81CA};
    std::mt19937 random(918);
    std::vector<std::string> ascii, katakana, doubleByte;
    for (int c = 0x20; c < 0x7F; ++c)
        if (c != 0x5C && c != 0x7E) ascii.push_back(std::string(1, static_cast<char>(c)));
    for (int c = 0xA1; c <= 0xDF; ++c) {
        const auto text = Convert(std::string(1, static_cast<char>(c)), "SHIFT_JIS", "UTF-8");
        ASSERT_TRUE(text) << c;
        katakana.push_back(*text);
    }
    while (doubleByte.size() < 2000) {
        const int leads[] = {0x81, 0x82, 0x83, 0x84, 0x88, 0x89, 0x8E, 0x90, 0x93,
                             0x96, 0x9A, 0x9E, 0x9F, 0xE0, 0xE3, 0xE8, 0xEA};
        const int lead = leads[random() % std::size(leads)];
        const int trail = 0x40 + static_cast<int>(random() % (0xFD - 0x40));
        if (std::ranges::count(lookAlikes, lead << 8 | trail) != 0) continue;
        const auto text = Convert(std::string{static_cast<char>(lead), static_cast<char>(trail)},
                                  "SHIFT_JIS", "UTF-8");
        if (text) doubleByte.push_back(*text);
    }

    clsQRCode qr;
    for (int trial = 0; trial < 300; ++trial) {
        std::string text;
        const int length = 1 + static_cast<int>(random() % 40);
        for (int i = 0; i < length; ++i) {
            const auto& pool = random() % 2 ? doubleByte : (random() % 2 ? ascii : katakana);
            text += pool[random() % pool.size()];
        }
        const std::string what = "trial " + std::to_string(trial) + ": " + text;
        ExpectKanjiOnCharacters(qr, ShiftJis(text), what);
        ExpectTextReadsBack(qr, text, 1 + trial % 4, what);
        if (HasFailure()) return;
    }
}

} // namespace
