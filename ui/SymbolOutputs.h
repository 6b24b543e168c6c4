// What the user takes away from the window: the symbol on show saved as a
// file of one of the output kinds, or copied to the clipboard. Every save
// runs one flow (no symbol: a warning; the file's bytes; none: a warning; a
// new file in the save folder; the user told how it went), and an output kind
// is one row: a new format is a row of MenuKinds and its menu text.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "FormServices.h"
#include "ModuleMatrix.h"

class PictureBox;

// What a file is made from: the box's enlarged picture and the finished
// matrix it shows (kept by the window, never encoded again with lists
// changed since).
struct OutputSource {
    const PictureBox& box;
    const ModuleMatrix& symbol;
};

struct OutputKind {
    const wchar_t* menuText; // the item of the symbol's menu
    const wchar_t* format;   // named when the file cannot be made ("PNG")
    const wchar_t* ending;   // of the file name (".png")
    // The file's bytes; empty when they could not be made.
    std::vector<std::uint8_t> (*makeBytes)(const OutputSource& source);
};

class SymbolOutputs {
public:
    // services must outlive this object (the window owns both).
    explicit SymbolOutputs(const FormServices& services) : services_(services) {}

    // The Save button's kind: the box's enlarged picture as a PNG.
    static const OutputKind& BoxPicture();
    // The save items of the symbol's menu, in menu order.
    static std::span<const OutputKind> MenuKinds();

    // The one save flow; symbol null when there is none on show. Message
    // boxes are owned by owner.
    void Save(HWND owner, const OutputKind& kind, const PictureBox& box,
              const ModuleMatrix* symbol) const;
    // The box's picture onto the clipboard as a bitmap. Another program may
    // hold the clipboard open for moments at a time: Copy tries for about a
    // second before it gives up with a warning.
    void Copy(HWND owner, const PictureBox& box) const;

    // The folder beside the program that every save writes into, and which
    // no save creates.
    std::wstring SaveFolder() const;

private:
    void SaveNewFile(HWND owner, const std::vector<std::uint8_t>& bytes,
                     const wchar_t* ending) const;

    const FormServices& services_;
};
