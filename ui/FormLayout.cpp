#include "FormLayout.h"

#include <array>
#include <cassert>

namespace {

struct DesignRow {
    FormControlId id;
    ControlRect place;
};

constexpr int DesignDpi = 96;

// In tab order, at 96 DPI.
constexpr std::array<DesignRow, 11> DesignPlaces{{
    {Command1Id, {8, 8, 73, 25}},
    {FormControlId(Cmb1Id + 0), {88, 8, 73, 300}},
    {FormControlId(Cmb1Id + 1), {168, 8, 73, 200}},
    {FormControlId(Cmb1Id + 2), {88, 40, 73, 200}},
    {Text1Id, {248, 8, 249, 51}},
    {FormControlId(Cmb1Id + 3), {168, 40, 73, 200}},
    {Command2Id, {8, 36, 73, 25}},
    {Pic2Id, {96, 88, 329, 329}},
    {Label1Id, {0, 448, 505, 33}},
    {Label2Id, {0, 480, 505, 17}},
    {Image1Id, {136, 560, 113, 97}},
}};

constexpr std::array<FormControlId, DesignPlaces.size()> ControlIds = [] {
    std::array<FormControlId, DesignPlaces.size()> ids{};
    for (std::size_t i = 0; i < ids.size(); ++i) ids[i] = DesignPlaces[i].id;
    return ids;
}();

constexpr bool IdsAreDistinct()
{
    for (std::size_t i = 0; i < ControlIds.size(); ++i)
        for (std::size_t j = i + 1; j < ControlIds.size(); ++j)
            if (ControlIds[i] == ControlIds[j]) return false;
    return true;
}
static_assert(IdsAreDistinct(), "one design place per control");

// Form_Resize's rule for Text1, in design pixels.
constexpr int Text1RightMargin = 8;
constexpr int Text1ResizedHeight = 54;

} // namespace

namespace FormLayout {

FormControlId Cmb1(int index)
{
    assert(index >= 0 && index < ListCount);
    return FormControlId(Cmb1Id + index);
}

std::span<const FormControlId> Controls() { return ControlIds; }

int Scaled(int designValue, int dpi)
{
    const long long product = static_cast<long long>(designValue) * dpi;
    const long long half = DesignDpi / 2;
    return static_cast<int>((product >= 0 ? product + half : product - half) / DesignDpi);
}

ControlRect DesignPlace(FormControlId id)
{
    for (const DesignRow& row : DesignPlaces)
        if (row.id == id) return row.place;
    assert(!"a control without a design place");
    return {};
}

ControlRect PlaceAt(FormControlId id, int dpi)
{
    const ControlRect design = DesignPlace(id);
    return {Scaled(design.left, dpi), Scaled(design.top, dpi), Scaled(design.width, dpi),
            Scaled(design.height, dpi)};
}

std::optional<ControlRect> Text1Resized(int clientWidth, int dpi)
{
    const ControlRect design = DesignPlace(Text1Id);
    // The margin is scaled with the left edge, as one length, so that the
    // rule's width at the design size is exact at every scale.
    const int width = clientWidth - Scaled(design.left + Text1RightMargin, dpi);
    if (width < 0) return std::nullopt;
    return ControlRect{Scaled(design.left, dpi), Scaled(design.top, dpi), width,
                       Scaled(Text1ResizedHeight, dpi)};
}

} // namespace FormLayout
