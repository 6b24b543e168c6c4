// The skin's shared types: the Windows values of its colours and the class
// table that gives every window its kind.
#include "SkinTypes.h"

#include <gtest/gtest.h>

#include "SkinPrimitives.h"
#include "SkinTestSupport.h"

namespace {

TEST(Colours, WindowsValuesOfTheSkinColours)
{
    EXPECT_EQ(FrameColor, 0x00D5A554u);
    EXPECT_EQ(FrameColorDisabled, 0x00E9CFA4u);
    EXPECT_EQ(ProgressColor, 0x00F6D64Cu);
    EXPECT_EQ(KeyColor, 0x00FF00FFu);
    EXPECT_EQ(PressedCheckFrameColor, 0x00C48639u);
    EXPECT_EQ(DisabledButtonTextColor, 0x00968A79u);
}

// A top-level window, top_, to create children in and set properties on.
class SkinTypes : public skintest::TopWindowTest {};

TEST_F(SkinTypes, ClassNameCaseAndKinds)
{
    skintest::EnsureClass(L"ThunderRT6CommandButton");
    skintest::EnsureClass(L"ApexGridOleDB32");
    HWND vbButton = skintest::CreateChild(top_, L"ThunderRT6CommandButton", L"", 0, 0, 0, 10, 10);
    HWND grid = skintest::CreateChild(top_, L"ApexGridOleDB32", L"", 0, 0, 0, 10, 10);
    HWND edit = skintest::CreateChild(top_, L"Edit", L"", 0, 0, 0, 10, 10);
    EXPECT_EQ(WindowClassName(vbButton), "ThunderRT6CommandButton");
    EXPECT_EQ(WindowClassName(nullptr), "");
    EXPECT_EQ(ClassKind(vbButton), SkinKind::PushButton);
    EXPECT_EQ(ClassKind(grid), SkinKind::Grid);
    EXPECT_EQ(ClassKind(edit), SkinKind::Other);
    EXPECT_EQ(ClassKind(nullptr), SkinKind::Other);
    EXPECT_EQ(KindOfClassName("#32770"), SkinKind::Container);
    EXPECT_EQ(KindOfClassName("combolbox"), SkinKind::List);
    EXPECT_EQ(KindOfClassName("combobox"), SkinKind::ComboBox);
    EXPECT_EQ(KindOfClassName("sysheader32"), SkinKind::Header);
    EXPECT_EQ(KindOfClassName("thunderrt6drivelistbox"), SkinKind::DriveList);
    EXPECT_EQ(KindOfClassName("thundercheckbox"), SkinKind::CheckBox);
    EXPECT_EQ(KindOfClassName("thunderoptionbutton"), SkinKind::OptionButton);
    EXPECT_EQ(KindOfClassName("progressbar20wndclass"), SkinKind::ProgressBar);
    EXPECT_EQ(KindOfClassName("apexgrid"), SkinKind::Grid);
    EXPECT_EQ(KindOfClassName("xapexgrid"), SkinKind::Other);
    EXPECT_EQ(KindOfClassName("buttons"), SkinKind::Other);
    EXPECT_EQ(KindOfClassName(""), SkinKind::Other);
}

} // namespace
