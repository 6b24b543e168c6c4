#include "clsQRCode.h"

#include <gtest/gtest.h>

#include "ByteClasses.h"
#include "CheapestSegmentation.h"

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

class clsQRCodeBitStreamTest : public ::testing::Test {
protected:
    int Measure(const std::vector<std::uint8_t>& data, int version)
    {
        return qr.BuildBitStream(*bits, data.data(), static_cast<int>(data.size()), version, true);
    }
    // Writes the stream and returns it as a string of '0' and '1'; checks that
    // the written length equals the measured one.
    std::string Write(const std::vector<std::uint8_t>& data, int version)
    {
        const int measured = Measure(data, version);
        const int written =
            qr.BuildBitStream(*bits, data.data(), static_cast<int>(data.size()), version, false);
        EXPECT_EQ(written, measured);
        std::string text;
        for (int i = 0; i < written; ++i) text += static_cast<char>('0' + (*bits)[i]);
        return text;
    }
    static std::vector<std::uint8_t> B(const std::string& s) { return {s.begin(), s.end()}; }

    clsQRCode qr;
    std::unique_ptr<clsQRCode::BitArray> bits = std::make_unique<clsQRCode::BitArray>();
};

TEST_F(clsQRCodeBitStreamTest, CharacterClasses)
{
    const std::string alphanumeric = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";
    for (int v = 0; v < 45; ++v)
        EXPECT_EQ(clsQRCode::AlphanumericValue(static_cast<std::uint8_t>(alphanumeric[v])), v);
    int digits = 0, others = 0;
    for (int b = 0; b < 256; ++b) {
        const int cls = clsQRCode::CharClass(static_cast<std::uint8_t>(b));
        digits += cls == 1;
        others += cls == 2;
        if (cls == 0) {
            EXPECT_EQ(clsQRCode::AlphanumericValue(static_cast<std::uint8_t>(b)), 0);
        }
    }
    EXPECT_EQ(digits, 10);
    EXPECT_EQ(others, 35);
    EXPECT_EQ(clsQRCode::CharClass('a'), 0) << "lower case is not in the set";
}

TEST_F(clsQRCodeBitStreamTest, KanjiPairTest)
{
    EXPECT_TRUE(clsQRCode::IsKanjiPair(0x93, 0x5F));
    EXPECT_TRUE(clsQRCode::IsKanjiPair(0x81, 0x40));
    EXPECT_TRUE(clsQRCode::IsKanjiPair(0xEA, 0xFF));
    EXPECT_TRUE(clsQRCode::IsKanjiPair(0xEB, 0xBF));
    EXPECT_FALSE(clsQRCode::IsKanjiPair(0xEB, 0xC0));
    EXPECT_FALSE(clsQRCode::IsKanjiPair(0x93, 0x3F));
    EXPECT_FALSE(clsQRCode::IsKanjiPair(0x80, 0x50));
    EXPECT_FALSE(clsQRCode::IsKanjiPair(0xA0, 0x50));
    EXPECT_FALSE(clsQRCode::IsKanjiPair(0xDF, 0x50));
    EXPECT_FALSE(clsQRCode::IsKanjiPair(0xEC, 0x50));
}

TEST_F(clsQRCodeBitStreamTest, NumericExampleOfTheStandard)
{
    EXPECT_EQ(Write(B("01234567"), 1), "0001"
                                       "0000001000"
                                       "0000001100"
                                       "0101011001"
                                       "1000011"
                                       "0000");
}

TEST_F(clsQRCodeBitStreamTest, AlphanumericAndByteSegments)
{
    // AC-42: 0010, count 5 in 9 bits, AC = 45*10+12, -4 = 45*41+4, 2 in 6 bits.
    EXPECT_EQ(Write(B("AC-42"), 1), "0010"
                                    "000000101"
                                    "00111001110"
                                    "11100111001"
                                    "000010"
                                    "0000");
    EXPECT_EQ(Measure(B("a"), 1), 24);
    EXPECT_EQ(Measure(B("Hello World"), 1), 104);
    EXPECT_EQ(Write(B("Hello World"), 1).substr(0, 12), "0100"
                                                        "00001011");
    EXPECT_EQ(Measure(B("HELLO WORLD"), 1), 78);
    EXPECT_EQ(Write(B("HELLO WORLD"), 1).substr(0, 4), "0010");
}

TEST_F(clsQRCodeBitStreamTest, MixedSegmentsAndTies)
{
    // abc123456: byte segment of the letters, then six digits.
    const std::string mixed = Write(B("abc123456"), 1);
    EXPECT_EQ(mixed.size(), 74u);
    EXPECT_EQ(mixed.substr(0, 12), "0100"
                                   "00000011");
    EXPECT_EQ(mixed.substr(36, 14), "0001"
                                    "0000000110");
    EXPECT_EQ(mixed.substr(50, 20), "0001111011"
                                    "0111001000"); // 123, 456
    const std::string digitsFirst = Write(B("123456789012ab"), 1);
    EXPECT_EQ(digitsFirst.size(), 86u);
    EXPECT_EQ(digitsFirst.substr(0, 14), "0001"
                                         "0000001100");

    // Equal costs go to the lower mode number: one byte segment each.
    for (const char* tie : {"111a", "a111"}) {
        const std::string s = Write(B(tie), 1);
        EXPECT_EQ(s.size(), 48u) << tie;
        EXPECT_EQ(s.substr(0, 12), "0100"
                                   "00000100")
            << tie;
    }
}

TEST_F(clsQRCodeBitStreamTest, KanjiSegments)
{
    const std::vector<std::uint8_t> kanji = {0x93, 0x5F, 0xE4, 0xAA};
    EXPECT_EQ(Write(kanji, 1), "1000"
                               "00000010"
                               "0110110011111"
                               "1101010101010"
                               "0000");
    // A kanji segment between two byte segments costs more than one byte segment.
    EXPECT_EQ(Write({0x41, 0x93, 0x5F, 0x42}, 1).substr(0, 12), "0100"
                                                                "00000100");
    EXPECT_EQ(Measure({0x41, 0x93, 0x5F, 0x42}, 1), 48);
    // UTF-8 of two Chinese characters: E4 B8 passes the kanji test, but one
    // byte segment is cheaper.
    EXPECT_EQ(Measure({0xE4, 0xB8, 0xAD, 0xE6, 0x96, 0x87}, 1), 64);
}

TEST_F(clsQRCodeBitStreamTest, KanjiSwitch)
{
    // Twenty U+5041 in UTF-8 (E5 81 81) tile completely into kanji-test pairs.
    std::vector<std::uint8_t> utf8;
    for (int i = 0; i < 20; ++i) utf8.insert(utf8.end(), {0xE5, 0x81, 0x81});
    ASSERT_TRUE(qr.KanjiAllowed());
    EXPECT_EQ(Write(utf8, 1).substr(0, 4), "1000") << "kanji allowed: the cheaper kanji path";
    qr.SetKanjiAllowed(false);
    const std::string bytes = Write(utf8, 1);
    EXPECT_EQ(bytes.substr(0, 12), "0100"
                                   "00111100");
    EXPECT_EQ(bytes.size(), 4u + 8 + 60 * 8 + 4);
    EXPECT_EQ(Write({0x93, 0x5F, 0xE4, 0xAA}, 1).substr(0, 4), "0100");
}

TEST_F(clsQRCodeBitStreamTest, RunsLongerThanTheCountFieldAreSplit)
{
    const std::vector<std::uint8_t> letters(600, 'A');
    const std::string small = Write(letters, 1);
    EXPECT_EQ(small.size(), 3331u);
    EXPECT_EQ(small.substr(0, 13), "0010"
                                   "111111111"); // 511 characters
    const int second = 13 + 255 * 11 + 6;        // 511 = 255 pairs and one
    EXPECT_EQ(small.substr(second, 13), "0010"
                                        "001011001"); // 89 characters
    EXPECT_EQ(Measure(letters, 10), 3319);
    EXPECT_EQ(Measure(std::vector<std::uint8_t>(300, '1'), 1), 1018);
    // 256 bytes in the small class: 255 and 1.
    EXPECT_EQ(Measure(std::vector<std::uint8_t>(256, 'a'), 1), 2 * 12 + 256 * 8 + 4);
    // 600 kanji characters at version 1: 255 + 255 + 90.
    std::vector<std::uint8_t> kanji;
    for (int i = 0; i < 600; ++i) kanji.insert(kanji.end(), {0x93, 0x5F});
    EXPECT_EQ(Write(kanji, 1).size(), 3u * 12 + 600 * 13 + 4);
}

TEST_F(clsQRCodeBitStreamTest, EmptyMessageIsTheTerminator)
{
    for (int i = 0; i < 8; ++i) (*bits)[i] = 1;
    EXPECT_EQ(qr.BuildBitStream(*bits, nullptr, 0, 1, true), 4);
    EXPECT_EQ((*bits)[0] + (*bits)[1] + (*bits)[2] + (*bits)[3], 0);
    EXPECT_EQ((*bits)[4], 1) << "nothing beyond the terminator is touched";
    EXPECT_EQ(qr.BuildBitStream(*bits, nullptr, -5, 40, false), 4);
}

TEST_F(clsQRCodeBitStreamTest, WrittenAndMeasuredLengthsAgree)
{
    // Random messages drawn from digits, alphanumerics, bytes and Shift JIS
    // pairs, in runs, in all three width classes.
    std::mt19937 random(2024);
    for (int trial = 0; trial < 600; ++trial) {
        std::vector<std::uint8_t> data;
        const int runs = 1 + static_cast<int>(random() % 12);
        for (int r = 0; r < runs; ++r) {
            const int kind = static_cast<int>(random() % 4);
            const int length = 1 + static_cast<int>(random() % (trial % 50 == 0 ? 1200 : 40));
            for (int i = 0; i < length; ++i) {
                switch (kind) {
                case 0:
                    data.push_back(static_cast<std::uint8_t>('0' + random() % 10));
                    break;
                case 1:
                    data.push_back(static_cast<std::uint8_t>("ABCXYZ $%*+-./:"[random() % 15]));
                    break;
                case 2:
                    data.push_back(static_cast<std::uint8_t>(random() % 256));
                    break;
                default:
                    data.push_back(static_cast<std::uint8_t>(0x81 + random() % 30));
                    data.push_back(static_cast<std::uint8_t>(0x40 + random() % 190));
                    break;
                }
            }
        }
        qr.SetKanjiAllowed(trial % 3 != 0);
        for (int version : {1, 9, 10, 26, 27, 40}) {
            const int measured = Measure(data, version);
            const int written = qr.BuildBitStream(*bits, data.data(), static_cast<int>(data.size()),
                                                  version, false);
            ASSERT_EQ(written, measured) << "trial " << trial << " version " << version;
        }
    }
}

TEST_F(clsQRCodeBitStreamTest, OverlongStreamIsCountedNotWritten)
{
    // 100,000 bytes need far more than 32768 bits: the writer counts them
    // without writing past the array (the sanitizer build watches for that).
    std::vector<std::uint8_t> data(100000);
    std::mt19937 random(1);
    for (auto& d : data) d = static_cast<std::uint8_t>(random());
    const int measured = Measure(data, 40);
    EXPECT_GT(measured, clsQRCode::BitArrayCapacity);
    EXPECT_EQ(qr.BuildBitStream(*bits, data.data(), static_cast<int>(data.size()), 40, false),
              measured);
}

// Runs of one kind, mostly around the lengths at which a segment of its own
// starts to pay inside bytes, some far longer.
std::vector<std::uint8_t> MixedMessage(std::mt19937& random, int maxBytes)
{
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::vector<std::uint8_t> data;
    const int target = 1 + pick(maxBytes);
    while (static_cast<int>(data.size()) < target) {
        const int kind = pick(6);
        const int run = pick(8) == 0 ? 1 + pick(200) : 1 + pick(14);
        for (int i = 0; i < run; ++i) {
            switch (kind) {
            case 0:
                data.push_back(static_cast<std::uint8_t>('0' + pick(10)));
                break;
            case 1:
                data.push_back(static_cast<std::uint8_t>("ABCXYZ $%*+-./:"[pick(15)]));
                break;
            case 2:
                data.push_back(static_cast<std::uint8_t>("abz!?_~\x80"[pick(8)]));
                break;
            case 3: // Shift JIS lead bytes of the three ranges, any trail
                data.push_back(static_cast<std::uint8_t>(pick(3) == 0   ? 0x81 + pick(31)
                                                         : pick(2) == 0 ? 0xE0 + pick(11)
                                                                        : 0xEB + pick(18)));
                data.push_back(static_cast<std::uint8_t>(pick(8) == 0 ? pick(256) : 0x40 + pick(192)));
                break;
            default:
                data.push_back(static_cast<std::uint8_t>(random()));
                break;
            }
        }
    }
    data.resize(static_cast<std::size_t>(target));
    return data;
}

TEST_F(clsQRCodeBitStreamTest, TheCheapestSegmentationOfMixedMessages)
{
    // Against the plain programme: the stream's length, its segments (tie
    // rules included) and the bytes parsed back, in each width class, kanji
    // allowed or not, with the fast byte classes and the plain ones.
    using namespace cheapest_segmentation;
    std::mt19937 random(1721);
    constexpr int kClassVersions[3] = {9, 26, 40};
    for (int trial = 0; trial < 6000; ++trial) {
        const int widthClass = trial % 3;
        const std::vector<std::uint8_t> data = MixedMessage(random, trial % 40 == 0 ? 3000 : 300);
        const int n = static_cast<int>(data.size());
        qr.SetKanjiAllowed(trial % 4 != 0);
        if (trial % 5 == 0) ByteClasses::ForceKernel(ByteClasses::Kernel::Plain);
        const int version = kClassVersions[widthClass];
        const int measured = Measure(data, version);
        const int written = qr.BuildBitStream(*bits, data.data(), n, version, false);
        ByteClasses::UseFastestKernel();

        std::vector<Segment> expected, segments;
        std::vector<std::uint8_t> parsed;
        const std::string what = "trial " + std::to_string(trial);
        ASSERT_EQ(measured, ReferenceSegmentation(data.data(), n, widthClass, qr.KanjiAllowed(),
                                                  expected))
            << what;
        ASSERT_EQ(written, measured) << what;
        ASSERT_TRUE(ParseStream(*bits, written, widthClass, qr.KanjiAllowed(), parsed, segments))
            << what;
        ASSERT_EQ(segments, expected) << what;
        ASSERT_EQ(parsed, data) << what;
    }
}

} // namespace
