// The window's layout at the four display scales the program is tested at:
// every place scaled from its design place to the nearest pixel, the layout
// kept intact (nothing that is apart at 96 DPI overlaps when scaled), and
// Text1 following the window's width.
#include "FormLayout.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int Dpis[] = {96, 120, 144, 192};

bool Overlap(const ControlRect& a, const ControlRect& b)
{
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

void ExpectNearestPixel(int scaled, int design, int dpi)
{
    EXPECT_LE(std::abs(scaled - design * dpi / 96.0), 0.5) << design << " at " << dpi << " DPI";
}

TEST(FormLayout, EveryPlaceIsItsDesignPlaceScaled)
{
    using namespace FormLayout;
    const int clientWidth = ClientWidth, clientHeight = ClientHeight;
    for (const int dpi : Dpis) {
        for (const FormControlId id : Controls()) {
            const ControlRect design = DesignPlace(id), place = PlaceAt(id, dpi);
            SCOPED_TRACE(testing::Message() << "control " << id << " at " << dpi << " DPI");
            for (const auto edge : {&ControlRect::left, &ControlRect::top, &ControlRect::width,
                                    &ControlRect::height})
                ExpectNearestPixel(place.*edge, design.*edge, dpi);
            if (dpi % 96 == 0) {
                EXPECT_EQ(place.width, design.width * dpi / 96);
            }
            // Only Image1, the hidden holder, lies below the client area.
            const bool inside = place.left + place.width <= Scaled(clientWidth, dpi) &&
                                place.top + place.height <= Scaled(clientHeight, dpi);
            EXPECT_EQ(inside, id != Image1Id);
            for (const FormControlId other : Controls())
                if (other != id && !Overlap(design, DesignPlace(other))) {
                    EXPECT_FALSE(Overlap(place, PlaceAt(other, dpi))) << "and " << other;
                }
        }
    }
    EXPECT_DEBUG_DEATH(DesignPlace(FormControlId(0)), "design place");
}

TEST(FormLayout, Text1FollowsTheWindowsWidth)
{
    using namespace FormLayout;
    for (const int dpi : Dpis) {
        SCOPED_TRACE(testing::Message() << dpi << " DPI");
        // At the design size: at (248, 8), 250 x 54, as the window first shows it.
        const int designWidth = Scaled(ClientWidth, dpi);
        const ControlRect shown = Text1Resized(designWidth, dpi).value();
        EXPECT_EQ(shown, (ControlRect{Scaled(248, dpi), Scaled(8, dpi), Scaled(250, dpi),
                                      Scaled(54, dpi)}));
        // Wider and narrower: left, top and height stay, the right margin too.
        for (const int change : {-200, 1, 300}) {
            const ControlRect resized = Text1Resized(designWidth + change, dpi).value();
            EXPECT_EQ(resized.width, shown.width + change);
            EXPECT_EQ(resized.left, shown.left);
            EXPECT_EQ(resized.height, shown.height);
        }
        // Too narrow for any width: no place, Text1 stays where it was.
        const int narrowest = designWidth - shown.width;
        EXPECT_EQ(Text1Resized(narrowest, dpi).value().width, 0);
        EXPECT_FALSE(Text1Resized(narrowest - 1, dpi).has_value());
    }
}

} // namespace
