// What the user takes away from the window: the symbol on show saved as a
// file of one of the output kinds, or copied to the clipboard. Every save
// runs one flow (no symbol: a warning; the file's bytes; none: a warning; a
// new file in the save folder, or the file the user chose in the Save
// dialog; the user told how it went), and an output kind is one row: a new
// format is a row of MenuKinds and its texts.
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
// changed since), and the printed size of a module for the print outputs.
struct OutputSource {
    const PictureBox& box;
    const ModuleMatrix& symbol;
    int moduleMicrometres;
};

struct OutputKind {
    const wchar_t* menuText; // the item of the symbol's menu
    const wchar_t* format;   // named when the file cannot be made ("PNG")
    const wchar_t* ending;   // of the file name (".png")
    const wchar_t* typeName; // in the Save dialog's list of types
    const wchar_t* pattern;  // of that type ("*.png")
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
    // "另存为…": the system's Save dialog, owned by owner, opening in the save
    // folder (the user's Pictures folder while that is missing) with the
    // time-of-day name; the file of the chosen type at the chosen module
    // size under the chosen name. A file is replaced only when the dialog
    // asked first; Cancel does nothing.
    void SaveAs(HWND owner, const PictureBox& box, const ModuleMatrix* symbol) const;
    // Opens the save folder in the system's file manager; a warning naming
    // it when it is missing or cannot be opened.
    void OpenSaveFolder(HWND owner) const;
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
    std::wstring SaveAsStartFolder() const;

    const FormServices& services_;
};
