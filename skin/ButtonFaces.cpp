#include "ButtonFaces.h"

#include <cstddef>
#include <cstdint>
#include <utility>

#include "SkinProps.h"

namespace {

SkinState StateOf(std::size_t index) { return static_cast<SkinState>(index); }

} // namespace

void ButtonFaces::Make(HDC reference, int width, int height)
{
    for (ScopedBitmapDC& face : faces_) {
        ScopedBitmapDC fresh(ScopedMemDC(reference),
                             ScopedBitmap(CreateCompatibleBitmap(reference, width, height)));
        if (fresh) face = std::move(fresh);
    }
}

HDC ButtonFaces::Face(SkinState state) const
{
    const auto index = static_cast<std::size_t>(state);
    return index < faces_.size() ? faces_[index].get() : nullptr;
}

void ButtonFaces::Mirror(HWND hwnd) const
{
    for (std::size_t i = 0; i < faces_.size(); ++i) {
        const FacePropNames names = FacePropNamesFor(StateOf(i));
        SetSkinProp(hwnd, names.dc, reinterpret_cast<std::intptr_t>(faces_[i].get()));
        SetSkinProp(hwnd, names.bitmap, reinterpret_cast<std::intptr_t>(faces_[i].bitmap()));
    }
}

void ButtonFaces::Release(HWND hwnd)
{
    for (std::size_t i = 0; i < faces_.size(); ++i) {
        const FacePropNames names = FacePropNamesFor(StateOf(i));
        RemoveSkinProp(hwnd, names.dc);
        RemoveSkinProp(hwnd, names.bitmap);
        faces_[i].reset();
    }
}
