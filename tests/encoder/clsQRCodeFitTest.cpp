// FittingVersion and MeasureFit, the measuring queries behind the window's
// advice: the capacities of ISO/IEC 18004 Table 7 at the edges of the three
// width classes, the same answer as building the symbol, and MeasureFit's
// answers the same as asking FittingVersion version by version.
#include "clsQRCode.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> Repeat(char c, int count)
{
    return std::vector<std::uint8_t>(static_cast<std::size_t>(count), static_cast<std::uint8_t>(c));
}

int Fitting(const clsQRCode& qr, const std::vector<std::uint8_t>& data, int version, int level)
{
    return qr.FittingVersion(data.data(), static_cast<int>(data.size()), version, level);
}

struct Capacity {
    int version;
    int level;
    char content; // '1' numeric, 'A' alphanumeric, 'a' byte mode
    int count;    // Table 7: the most characters of that kind the version holds
};

// ISO/IEC 18004 Table 7, at the first and last version of each width class.
constexpr Capacity Table7[] = {
    {1, 1, '1', 41},    {1, 1, 'A', 25},    {1, 1, 'a', 17},    {1, 2, 'a', 14},
    {1, 3, 'a', 11},    {1, 4, 'a', 7},     {1, 4, '1', 17},    {9, 1, 'a', 230},
    {10, 1, 'a', 271},  {10, 4, 'A', 174},  {26, 1, 'a', 1367}, {27, 1, 'a', 1465},
    {40, 1, '1', 7089}, {40, 1, 'A', 4296}, {40, 1, 'a', 2953}, {40, 2, 'a', 2331},
    {40, 3, 'a', 1663}, {40, 4, 'a', 1273}, {40, 4, '1', 3057},
};

TEST(clsQRCodeFitTest, CapacitiesOfTable7)
{
    const clsQRCode qr;
    for (const Capacity& c : Table7) {
        const auto full = Repeat(c.content, c.count);
        const auto over = Repeat(c.content, c.count + 1);
        SCOPED_TRACE(testing::Message() << "version " << c.version << " level " << c.level << " "
                                        << c.count << " x " << c.content);
        EXPECT_EQ(Fitting(qr, full, c.version, c.level), c.version);
        EXPECT_EQ(Fitting(qr, over, c.version, c.level), 0);
        // Automatic: the full message needs exactly this version, one more
        // character the next one (or none after 40).
        EXPECT_EQ(Fitting(qr, full, 0, c.level), c.version);
        EXPECT_EQ(Fitting(qr, over, 0, c.level), c.version == 40 ? 0 : c.version + 1);
    }
}

TEST(clsQRCodeFitTest, OptionsAreTakenAsTheEncoderTakesThem)
{
    const clsQRCode qr;
    const auto fifteen = Repeat('a', 15); // 1-M holds 14 bytes, 1-L 17
    EXPECT_EQ(Fitting(qr, fifteen, 1, 0), 0) << "level 0 is M";
    EXPECT_EQ(Fitting(qr, fifteen, 1, 9), 0) << "level 9 is M";
    EXPECT_EQ(Fitting(qr, fifteen, 1, 1), 1);
    EXPECT_EQ(Fitting(qr, fifteen, 41, 2), 2) << "above 40 is automatic";
    EXPECT_EQ(Fitting(qr, fifteen, -1, 1), 0) << "Micro QR is not built";
    EXPECT_EQ(qr.FittingVersion(nullptr, 0, 1, 4), 1) << "the empty message";
    EXPECT_EQ(qr.FittingVersion(nullptr, 5, 0, 1), 0) << "null data with a length";
    EXPECT_EQ(Fitting(qr, Repeat('1', 7090), 0, 1), 0);
}

TEST(clsQRCodeFitTest, OutOfRangeLevelsAreM)
{
    // Positively M: 14 bytes fit 1-M but not 1-Q or 1-H, and 15 bytes need
    // 2-M where 1-L would hold them; the symbol and the query agree.
    clsQRCode qr;
    const auto fourteen = Repeat('a', 14), fifteen = Repeat('a', 15);
    for (const int level : {0, 5, 9, -3}) {
        EXPECT_EQ(Fitting(qr, fourteen, 1, level), 1) << level;
        EXPECT_EQ(Fitting(qr, fifteen, 0, level), 2) << level;
        const auto symbol = qr.EncodeMatrix(fifteen.data(), 15, 0, level, 0);
        ASSERT_TRUE(symbol) << level;
        EXPECT_EQ(symbol->Size(), 25) << level;
        EXPECT_TRUE(qr.EncodeMatrix(fourteen.data(), 14, 1, level, 0)) << level;
    }
}

// The query and the encoder agree on every message: a symbol exactly when
// the query names a version, and of that version.
TEST(clsQRCodeFitTest, AgreesWithTheSymbolsTheEncoderBuilds)
{
    clsQRCode qr;
    const std::string mixed = "HELLO 0123456789 world \x93\xfa\x96\x7b ";
    std::vector<std::uint8_t> message;
    for (int length = 0; length <= 3000; length += 37) {
        while (static_cast<int>(message.size()) < length)
            message.push_back(static_cast<std::uint8_t>(mixed[message.size() % mixed.size()]));
        for (const bool kanji : {true, false}) {
            qr.SetKanjiAllowed(kanji);
            for (int level = 1; level <= 4; ++level) {
                for (const int version : {0, 1, 9, 10, 26, 27, 40}) {
                    const int fitting = Fitting(qr, message, version, level);
                    const auto symbol = qr.EncodeMatrix(
                        message.data(), static_cast<int>(message.size()), version, level, 0);
                    ASSERT_EQ(fitting != 0, symbol.has_value())
                        << length << " bytes, version " << version << " level " << level;
                    if (symbol) {
                        EXPECT_EQ(qr.SymbolSize(fitting), symbol->Size());
                    }
                }
            }
        }
    }
}

// One measurement answers what FittingVersion answers one question at a time.
TEST(clsQRCodeFitTest, MeasureFitAgreesWithFittingVersion)
{
    const clsQRCode qr;
    const auto highestLevel = [&](const std::vector<std::uint8_t>& data, int version) {
        for (int level = 4; level >= 1; --level)
            if (Fitting(qr, data, version, level) != 0) return level;
        return 0;
    };
    for (const int count : {0, 7, 18, 300, 1300, 2953, 2954, 7090}) {
        for (const char content : {'1', 'a'}) {
            const auto data = Repeat(content, count);
            for (const int version : {0, 1, 10, 27, 40}) {
                for (int level = 1; level <= 4; ++level) {
                    SCOPED_TRACE(testing::Message() << count << " x " << content << ", version "
                                                    << version << " level " << level);
                    const clsQRCode::Fit fit =
                        qr.MeasureFit(data.data(), count, version, level);
                    EXPECT_EQ(fit.smallestVersion, Fitting(qr, data, 0, level));
                    EXPECT_EQ(fit.highestLevel, highestLevel(data, version));
                    EXPECT_EQ(fit.versionAtL, Fitting(qr, data, 0, 1));
                    EXPECT_EQ(fit.fits, Fitting(qr, data, version, level) != 0);
                }
            }
        }
    }
    EXPECT_FALSE(qr.MeasureFit(nullptr, 5, 0, 1).fits) << "null data with a length";
    EXPECT_EQ(qr.MeasureFit(nullptr, 0, 1, 4).smallestVersion, 1) << "the empty message";
}

} // namespace
