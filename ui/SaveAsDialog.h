// The system's Save dialog (IFileSaveDialog) as the symbol's "另存为…" shows
// it: a folder and a name, one of the file types, and a drop-down of the
// printed module size added through the dialog's own customisation. The
// dialog asks before it replaces a file (FOS_OVERWRITEPROMPT): its answer is
// the user's confirmation.
#pragma once

#include <windows.h>

#include <cstddef>
#include <span>
#include <string>

struct SaveAsType {
    const wchar_t* name;    // in the dialog's list: "SVG 矢量图 (*.svg)"
    const wchar_t* pattern; // "*.svg"
    const wchar_t* ending;  // ".svg"
};

struct SaveAsChoice {
    enum class Outcome { Chosen, Cancelled, Failed } outcome = Outcome::Failed;
    std::wstring path;          // the file, its ending that of the type
    std::size_t type = 0;       // index into the types
    std::size_t choiceItem = 0; // index into the drop-down's items
    // True when the dialog itself stood for the name: it asked before
    // replacing the file. False when the ending had to be added afterwards,
    // so that no question was asked about the name that path now holds.
    bool confirmed = false;
};

class SaveAsDialog {
public:
    // The spans must outlive the object; choiceItems is not empty and
    // defaultItem one of its indices.
    SaveAsDialog(std::span<const SaveAsType> types, const wchar_t* choiceLabel,
                 std::span<const wchar_t* const> choiceItems, std::size_t defaultItem)
        : types_(types), choiceLabel_(choiceLabel), choiceItems_(choiceItems),
          defaultItem_(defaultItem)
    {}

    // Shows the dialog modal to owner, opening in folder with name suggested
    // and the first type chosen; returns when the user has chosen or
    // cancelled. The extension of the name follows the type the user picks.
    SaveAsChoice Show(HWND owner, const std::wstring& folder, const std::wstring& name) const;

private:
    std::span<const SaveAsType> types_;
    const wchar_t* choiceLabel_;
    std::span<const wchar_t* const> choiceItems_;
    std::size_t defaultItem_;
};
