// The advice when the data do not fit, checked against the capacities of
// ISO/IEC 18004 Table 7 (byte mode): 1-L 17, 1-Q 11, 1-H 7, 2-H 14, 3-H 24,
// 25-L 1273, 26-L 1367, 40-L 2953, 40-H 1273 bytes.
#include "mdlFitAdvice.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "clsQRCode.h"

namespace {

std::wstring Advice(int bytes, int version, int level)
{
    const clsQRCode coder;
    const std::vector<std::uint8_t> data(static_cast<std::size_t>(bytes), 'a');
    return TooLongMessage(coder, data.data(), bytes, version, level).value_or(L"fits");
}

const std::wstring Opening = L"内容太长，所选版本和纠错等级无法容纳，";

TEST(mdlFitAdvice, NamesTheSmallestVersionAtTheChosenLevel)
{
    // 1-L holds 17 bytes and there is no lower level.
    EXPECT_EQ(Advice(18, 1, 1), Opening + L"请选择版本 2 或更大的版本！");
    // 1-H holds 7 and no lower level at version 1 holds 18; 3-H holds 24.
    EXPECT_EQ(Advice(18, 1, 4), Opening + L"请选择版本 3 或更大的版本！");
}

TEST(mdlFitAdvice, NamesBothTheVersionAndTheLowerLevelWhenEitherHelps)
{
    // 10 bytes: 2-H holds 14, and 1-Q holds 11.
    EXPECT_EQ(Advice(10, 1, 4),
              Opening + L"请选择版本 2 或更大的版本，或选择纠错等级 Q 或更低的纠错等级！");
}

TEST(mdlFitAdvice, AutomaticVersionOnlyAsksForALowerLevel)
{
    // 1300 bytes: more than 40-H holds (1273), less than 40-Q (1663).
    EXPECT_EQ(Advice(1300, 0, 4), Opening + L"请选择纠错等级 Q 或更低的纠错等级！");
}

TEST(mdlFitAdvice, NeitherAloneButBothTogether)
{
    // 1300 bytes at 1-H: no H version holds them, no level at version 1
    // does; 26-L (1367) is the smallest version at L (25-L holds 1273).
    EXPECT_EQ(Advice(1300, 1, 4),
              Opening + L"请选择更大的版本和更低的纠错等级（例如版本 26、纠错等级 L）！");
}

TEST(mdlFitAdvice, NothingHoldsMoreThanVersion40L)
{
    EXPECT_EQ(Advice(2954, 40, 1), L"内容太长，即使版本 40 和纠错等级 L 也无法容纳，请减少内容！");
    EXPECT_EQ(Advice(2954, 0, 2), L"内容太长，即使版本 40 和纠错等级 L 也无法容纳，请减少内容！");
}

TEST(mdlFitAdvice, OptionsOutOfRangeAreTakenAsTheEncoderTakesThem)
{
    // Level 0 is M (1-M holds 14 bytes, 2-M 26); version 50 is automatic.
    EXPECT_EQ(Advice(15, 1, 0), Opening + L"请选择版本 2 或更大的版本，或选择纠错等级 L！");
    EXPECT_EQ(Advice(1300, 50, 4), Opening + L"请选择纠错等级 Q 或更低的纠错等级！");
}

} // namespace
