// The automatic version choice (ISO/IEC 18004, 7.3 and Table 3) at the
// width-class boundaries, where the character count field grows: between
// versions 9 and 10 and between 26 and 27, and at version 40's capacity.
// Which version a message needs is worked out here from Table 3 and the
// mode's data bits, for messages of a single mode.

#include "clsQRCode.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

enum Mode { Numeric, Alphanumeric, Byte, Kanji };
const char* const kModeNames[] = {"numeric", "alphanumeric", "byte", "kanji"};

// Table 3: character count field widths for versions 1-9, 10-26 and 27-40.
constexpr int kCountWidth[4][3] = {{10, 12, 14}, {9, 11, 13}, {8, 16, 16}, {8, 10, 12}};

// Bits of one segment of n characters at version v, terminator excluded (7.4).
int SegmentBits(Mode mode, int n, int version)
{
    const int widthClass = version <= 9 ? 0 : version <= 26 ? 1 : 2;
    const int header = 4 + kCountWidth[mode][widthClass];
    switch (mode) {
    case Numeric:
        return header + 10 * (n / 3) + (n % 3 == 0 ? 0 : n % 3 == 1 ? 4 : 7);
    case Alphanumeric:
        return header + 11 * (n / 2) + 6 * (n % 2);
    case Byte:
        return header + 8 * n;
    default:
        return header + 13 * n;
    }
}

// The smallest version holding n characters of mode, 0 for none.
int SmallestVersion(const clsQRCode& qr, Mode mode, int n, int level)
{
    for (int v = 1; v <= 40; ++v)
        if (SegmentBits(mode, n, v) <= qr.DataCodewords(v, level) * 8) return v;
    return 0;
}

// n characters of one mode, none of which another mode would take more
// cheaply: digits; letters and symbols without digits; lower-case letters;
// Shift JIS kanji of the level 1 and 2 sets (two bytes each).
std::vector<std::uint8_t> Message(Mode mode, int n, std::mt19937& random)
{
    std::vector<std::uint8_t> message;
    for (int i = 0; i < n; ++i) switch (mode) {
        case Numeric:
            message.push_back(static_cast<std::uint8_t>('0' + random() % 10));
            break;
        case Alphanumeric:
            message.push_back(
                static_cast<std::uint8_t>("ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:"[random() % 35]));
            break;
        case Byte:
            message.push_back(static_cast<std::uint8_t>('a' + random() % 26));
            break;
        case Kanji:
            message.push_back(static_cast<std::uint8_t>(0x89 + random() % 0x17));
            message.push_back(static_cast<std::uint8_t>(0x80 + random() % 0x7D));
            break;
        }
    return message;
}

TEST(clsQRCodeVersionTest, SmallestVersionAroundEveryWidthClassBoundary)
{
    clsQRCode qr;
    std::mt19937 random(27);
    for (const Mode mode : {Numeric, Alphanumeric, Byte, Kanji}) {
        qr.SetKanjiAllowed(mode == Kanji);
        for (int level = 1; level <= 4; ++level)
            for (const int boundary : {9, 10, 26, 27, 40}) {
                int capacity = 0;
                while (SegmentBits(mode, capacity + 1, boundary) <=
                       qr.DataCodewords(boundary, level) * 8)
                    ++capacity;
                for (int n = capacity - 1; n <= capacity + 2; ++n) {
                    const std::vector<std::uint8_t> message = Message(mode, n, random);
                    const int length = static_cast<int>(message.size());
                    const int mask = (n + level) % 8;
                    const int expected = SmallestVersion(qr, mode, n, level);
                    const std::string what = std::string(kModeNames[mode]) + " x " +
                                             std::to_string(n) + ", level " + "LMQH"[level - 1] +
                                             ", expected version " + std::to_string(expected);
                    const auto automatic = qr.EncodeMatrix(message.data(), length, 0, level, mask);
                    ASSERT_EQ(automatic.has_value(), expected != 0) << what;
                    if (expected == 0) {
                        EXPECT_FALSE(qr.EncodeMatrix(message.data(), length, 40, level, mask));
                        continue;
                    }
                    ASSERT_EQ(automatic->Size(), 4 * expected + 17) << what;
                    const auto given =
                        qr.EncodeMatrix(message.data(), length, expected, level, mask);
                    ASSERT_TRUE(given) << what;
                    EXPECT_EQ(*given, *automatic) << what;
                    if (expected > 1) {
                        EXPECT_FALSE(
                            qr.EncodeMatrix(message.data(), length, expected - 1, level, mask))
                            << what;
                    }
                }
            }
    }
}

} // namespace
