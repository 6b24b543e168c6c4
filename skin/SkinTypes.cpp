#include "SkinTypes.h"

#include <string_view>

namespace {

struct ClassRow {
    std::string_view name;
    SkinKind kind;
};

// Class names (lower case) of the windows the skin treats specially; every
// other class is SkinKind::Other, except the "apexgrid" prefix below.
constexpr ClassRow ClassTable[] = {
    {"#32770", SkinKind::Container},
    {"thunderformdc", SkinKind::Container},
    {"thunderrt6formdc", SkinKind::Container},
    {"form", SkinKind::Container},
    {"thundercommandbutton", SkinKind::PushButton},
    {"thunderrt6commandbutton", SkinKind::PushButton},
    {"button", SkinKind::PushButton},
    {"thundercombobox", SkinKind::ComboBox},
    {"thunderrt6combobox", SkinKind::ComboBox},
    {"combo", SkinKind::ComboBox},
    {"combobox", SkinKind::ComboBox},
    {"thunderdrivelistbox", SkinKind::DriveList},
    {"thunderrt6drivelistbox", SkinKind::DriveList},
    {"thundercheckbox", SkinKind::CheckBox},
    {"thunderrt6checkbox", SkinKind::CheckBox},
    {"thunderoptionbutton", SkinKind::OptionButton},
    {"thunderrt6optionbutton", SkinKind::OptionButton},
    {"progressbar20wndclass", SkinKind::ProgressBar},
    {"progressbarwndclass", SkinKind::ProgressBar},
    {"msvb_lib_header", SkinKind::Header},
    {"sysheader32", SkinKind::Header},
    {"datalistwndclass", SkinKind::List},
    {"dblistwndclass", SkinKind::List},
    {"combolbox", SkinKind::List},
};

constexpr std::string_view GridPrefix = "apexgrid";

} // namespace

SkinKind KindOfClassName(const char* lowerCaseName)
{
    if (!lowerCaseName) return SkinKind::Other;
    const std::string_view name(lowerCaseName);
    for (const ClassRow& row : ClassTable) {
        if (row.name == name) return row.kind;
    }
    if (name.starts_with(GridPrefix)) return SkinKind::Grid;
    return SkinKind::Other;
}

SkinKind ClassKind(HWND hwnd)
{
    // Every routed message asks for its window's kind, so the name goes into
    // a buffer on the stack rather than a string on the heap: 255
    // characters, as WindowClassName reads them.
    char name[256] = "";
    if (!hwnd || GetClassNameA(hwnd, name, 255) <= 0) name[0] = '\0';
    // Class names are ASCII; lower-case byte by byte as the table expects.
    for (char& c : name) {
        if (c == '\0') break;
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return KindOfClassName(name);
}
