#include "SkinKindHandlers.h"

#include <cstddef>
#include <iterator>

#include "ButtonSkin.h"
#include "CheckSkin.h"
#include "ComboSkin.h"
#include "GridSkin.h"
#include "HeaderSkin.h"
#include "ListSkin.h"
#include "ProgressSkin.h"

namespace {

// Containers bring their descendants and otherwise pass every message on;
// windows of no special kind only get their client edge flattened.
const SkinKindHandlers ContainerHandlers{.attachesChildren = true};
const SkinKindHandlers OtherHandlers{};

struct KindRow {
    SkinKind kind;
    const SkinKindHandlers* handlers;
};

// One row per SkinKind, in the enum's order. Two kinds may share the
// handlers of one unit, which tells them apart by ClassKind.
constexpr KindRow Rows[] = {
    {SkinKind::Container, &ContainerHandlers},
    {SkinKind::PushButton, &ButtonSkinHandlers},
    {SkinKind::ComboBox, &ComboSkinHandlers},
    {SkinKind::DriveList, &ComboSkinHandlers},
    {SkinKind::CheckBox, &CheckSkinHandlers},
    {SkinKind::OptionButton, &CheckSkinHandlers},
    {SkinKind::ProgressBar, &ProgressSkinHandlers},
    {SkinKind::Header, &HeaderSkinHandlers},
    {SkinKind::List, &ListSkinHandlers},
    {SkinKind::Grid, &GridSkinHandlers},
    {SkinKind::Other, &OtherHandlers},
};

constexpr bool OneRowPerKindInOrder()
{
    for (std::size_t i = 0; i < std::size(Rows); ++i)
        if (static_cast<std::size_t>(Rows[i].kind) != i) return false;
    return std::size(Rows) == static_cast<std::size_t>(SkinKind::Other) + 1;
}
static_assert(OneRowPerKindInOrder(), "Rows needs one row per SkinKind, in the enum's order");

} // namespace

const SkinKindHandlers& KindHandlers(SkinKind kind)
{
    const auto index = static_cast<std::size_t>(kind);
    return index < std::size(Rows) ? *Rows[index].handlers : OtherHandlers;
}
