// The per-window state of the skin in window properties.
#include "SkinProps.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "SkinTestSupport.h"

namespace {

// A top-level window, top_, to create children in and set properties on.
class SkinProps : public skintest::TopWindowTest {};

TEST_F(SkinProps, PropertiesReadZeroWhenAbsentAndHoldPointers)
{
    EXPECT_EQ(GetSkinProp(top_, "MOUSEFLAG"), 0);
    EXPECT_EQ(GetSkinProp(nullptr, "MOUSEFLAG"), 0);
    const auto big = static_cast<std::intptr_t>(0x7FFF12345678LL);
    ASSERT_TRUE(SetSkinProp(top_, "OLDSTYLE", big));
    EXPECT_EQ(GetSkinProp(top_, "OLDSTYLE"), big);
    SetSkinProp(top_, SkinProp::HdIndex, -1);
    EXPECT_EQ(GetSkinProp(top_, "HDINDEX"), -1);
    RemoveSkinProp(top_, "OLDSTYLE");
    EXPECT_EQ(GetSkinProp(top_, "OLDSTYLE"), 0);
    EXPECT_STREQ(FacePropNamesFor(SkinState::Pressed).dc, "2HDC");
    EXPECT_STREQ(FacePropNamesFor(SkinState::Disabled).bitmap, "3BMP");
}

} // namespace
