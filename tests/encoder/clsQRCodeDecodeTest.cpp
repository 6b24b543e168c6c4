// Every symbol here is read back by ZXing-cpp, an independent reader, and its
// byte content must equal the message exactly.

#include "clsQRCode.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "CapacityMessage.h"
#include "ZbarReader.h"
#include "ZxingReader.h"

namespace {

const char kLevelNames[] = "LMQH";

void ExpectDecodes(const std::optional<ModuleMatrix>& symbol,
                   const std::vector<std::uint8_t>& message, int level, const std::string& what)
{
    ASSERT_TRUE(symbol) << what << ": no symbol";
    const auto decoded = ReadSymbol(*symbol, 3);
    ASSERT_TRUE(decoded) << what << ": not readable";
    EXPECT_EQ(decoded->bytes, message) << what;
    EXPECT_EQ(decoded->ecLevel, std::string(1, kLevelNames[level - 1])) << what;
}

TEST(clsQRCodeDecodeTest, EveryVersionLevelAndMaskNearCapacity)
{
    clsQRCode qr;
    qr.SetKanjiAllowed(false);
    for (int version = 1; version <= 40; ++version)
        for (int level = 1; level <= 4; ++level)
            for (int mask = 0; mask < 8; ++mask) {
                std::mt19937 random(static_cast<unsigned>(version * 100 + level * 10 + mask));
                const std::vector<std::uint8_t> message =
                    FillToCapacity(qr, version, level, random);
                const auto symbol = qr.EncodeMatrix(
                    message.data(), static_cast<int>(message.size()), version, level, mask);
                ASSERT_EQ(symbol ? symbol->Size() : 0, 4 * version + 17);
                ExpectDecodes(symbol, message, level,
                              "version " + std::to_string(version) + "-" + kLevelNames[level - 1] +
                                  " mask " + std::to_string(mask) + ", " +
                                  std::to_string(message.size()) + " bytes");
                if (HasFailure()) return;
            }
}

TEST(clsQRCodeDecodeTest, AutomaticVersionInEachMode)
{
    clsQRCode qr;
    std::mt19937 random(42);
    const std::string alphanumeric = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";
    for (int length : {1, 7, 40, 150, 500, 1200, 2900}) {
        std::vector<std::uint8_t> digits, letters, bytes, kanji;
        for (int i = 0; i < length; ++i) {
            digits.push_back(static_cast<std::uint8_t>('0' + random() % 10));
            letters.push_back(static_cast<std::uint8_t>(alphanumeric[random() % 45]));
            bytes.push_back(static_cast<std::uint8_t>(random() % 256));
        }
        for (int i = 0; i < length / 2; ++i) {
            kanji.push_back(static_cast<std::uint8_t>(
                0x88 + random() % 0x18)); // 889F..9FFC: level 1 and 2 kanji
            kanji.push_back(static_cast<std::uint8_t>(0x40 + random() % 0x3F));
        }
        for (int level = 1; level <= 4; ++level) {
            int mask = static_cast<int>(random() % 8);
            for (auto* message : {&digits, &letters, &bytes, &kanji}) {
                qr.SetKanjiAllowed(message == &kanji);
                const auto symbol = qr.EncodeMatrix(
                    message->data(), static_cast<int>(message->size()), 0, level, mask);
                if (!symbol) {
                    // Only data beyond version 40's capacity may be refused.
                    static clsQRCode::BitArray bits;
                    EXPECT_GT(qr.BuildBitStream(bits, message->data(),
                                                static_cast<int>(message->size()), 40, true) -
                                  4,
                              qr.DataCodewords(40, level) * 8);
                    continue;
                }
                // The smallest version that holds it: the one below does not.
                const int version = (symbol->Size() - 17) / 4;
                if (version > 1) {
                    EXPECT_FALSE(qr.EncodeMatrix(message->data(), static_cast<int>(message->size()),
                                                 version - 1, level, mask));
                }
                ExpectDecodes(symbol, *message, level,
                              "automatic, length " + std::to_string(message->size()));
            }
        }
    }
}

TEST(clsQRCodeDecodeTest, KanjiSegmentsReadBackAsShiftJis)
{
    clsQRCode qr;
    ASSERT_TRUE(qr.KanjiAllowed());
    const std::vector<std::vector<std::uint8_t>> messages = {
        {0x93, 0x5F, 0xE4, 0xAA}, // the standard's example
        {0x41, 0x93, 0x5F, 0x42}, // kanji between bytes
        {0x82, 0xA0, 0x82, 0xA2, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x93, 0xFA, 0x96, 0x7B},
        {0xEA, 0xA4, 0xE0, 0x40, 0x81, 0x40}, // the ends of the ranges
    };
    for (const auto& message : messages) {
        for (int level = 1; level <= 4; ++level) {
            const auto symbol =
                qr.EncodeMatrix(message.data(), static_cast<int>(message.size()), 0, level, level);
            ExpectDecodes(symbol, message, level, "kanji");
        }
    }
    // The standard's example really is one kanji segment.
    clsQRCode::BitArray bits;
    EXPECT_EQ(qr.BuildBitStream(bits, messages[0].data(), 4, 1, false), 42);
}

TEST(clsQRCodeDecodeTest, Utf8ThatLooksLikeKanjiStaysBytesWhenKanjiIsOff)
{
    // Twenty U+5041 in UTF-8: E5 81 81 ... pass the kanji test pair by pair.
    std::vector<std::uint8_t> utf8;
    for (int i = 0; i < 20; ++i) utf8.insert(utf8.end(), {0xE5, 0x81, 0x81});
    clsQRCode qr;
    qr.SetKanjiAllowed(false);
    for (int level = 1; level <= 4; ++level)
        ExpectDecodes(qr.EncodeMatrix(utf8.data(), 60, 0, level, 0), utf8, level,
                      "UTF-8, kanji off");

    // With kanji allowed the same bytes become kanji characters: a reader gives
    // back different text, which is why the switch exists.
    qr.SetKanjiAllowed(true);
    const auto symbol = qr.EncodeMatrix(utf8.data(), 60, 0, 2, 0);
    ASSERT_TRUE(symbol);
    const auto decoded = ReadSymbol(*symbol);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->bytes, utf8) << "bytes survive as Shift JIS pairs";
}

TEST(clsQRCodeDecodeTest, BinaryAndEdgeMessages)
{
    clsQRCode qr;
    qr.SetKanjiAllowed(false);
    std::vector<std::uint8_t> all(256);
    for (int i = 0; i < 256; ++i) all[i] = static_cast<std::uint8_t>(i);
    const std::vector<std::vector<std::uint8_t>> messages = {
        {0},
        {0, 0, 0},
        all,
        Bytes("Olvane软件：http://www.olvane.example\r\n"),
        std::vector<std::uint8_t>(300, '1'),
        std::vector<std::uint8_t>(600, 'A'),
        Bytes("123456789012ab"),
        Bytes("a111"),
    };
    for (const auto& message : messages)
        for (int level = 1; level <= 4; ++level)
            ExpectDecodes(
                qr.EncodeMatrix(message.data(), static_cast<int>(message.size()), 0, level, 7),
                message, level, std::to_string(message.size()) + " bytes");
}

TEST(clsQRCodeDecodeTest, ZbarReadsEveryVersionAndLevel)
{
    // A second reader over every version and level, the masks taken in turn.
    clsQRCode qr;
    qr.SetKanjiAllowed(false);
    for (int version = 1; version <= 40; ++version)
        for (int level = 1; level <= 4; ++level) {
            const int mask = (version + level) % 8;
            std::mt19937 random(static_cast<unsigned>(version * 7 + level));
            const std::vector<std::uint8_t> message = FillToCapacity(qr, version, level, random);
            const auto symbol = qr.EncodeMatrix(message.data(), static_cast<int>(message.size()),
                                                version, level, mask);
            ASSERT_TRUE(symbol);
            const auto decoded = ReadSymbolWithZbar(*symbol);
            ASSERT_TRUE(decoded) << "version " << version << "-" << kLevelNames[level - 1]
                                 << " mask " << mask;
            ASSERT_EQ(*decoded, message)
                << "version " << version << "-" << kLevelNames[level - 1] << " mask " << mask;
        }
}

} // namespace
