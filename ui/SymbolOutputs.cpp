#include "SymbolOutputs.h"

#include <shlobj.h>

#include <array>
#include <optional>

#include "FormMessages.h"
#include "FormTexts.h"
#include "PictureBox.h"
#include "SaveAsDialog.h"
#include "mdlPictureFile.h"
#include "mdlSvgWriter.h"

namespace {

// Clipboard managers hold the clipboard open for moments at a time.
constexpr int ClipboardTries = 10;
constexpr DWORD ClipboardPauseMs = 100;

std::vector<std::uint8_t> BoxPng(const OutputSource& source)
{
    const PictureBox& box = source.box;
    return EncodePng(box.Pixels(), box.Width(), box.Height(), box.Width() * 4);
}

std::vector<std::uint8_t> PrintPng(const OutputSource& source)
{
    return EncodePrintPng(source.symbol, source.moduleMicrometres);
}

std::vector<std::uint8_t> Svg(const OutputSource& source)
{
    const std::string svg = SymbolToSvg(source.symbol, source.moduleMicrometres);
    return std::vector<std::uint8_t>(svg.begin(), svg.end());
}

constexpr OutputKind BoxKind{nullptr, L"PNG", L".png", FormTexts::TypeBoxPng, L"*.png", BoxPng};

constexpr std::array<OutputKind, 2> MenuRows{{
    {FormTexts::MenuSavePrintPng, L"PNG", L".png", FormTexts::TypePrintPng, L"*.png", PrintPng},
    {FormTexts::MenuSaveSvg, L"SVG", L".svg", FormTexts::TypeSvg, L"*.svg", Svg},
}};

// The Save dialog's types, in its list's order: the print outputs first.
constexpr std::array<const OutputKind*, 3> SaveAsKinds{&MenuRows[0], &MenuRows[1], &BoxKind};

// The printed module sizes the Save dialog offers, in micrometres, named by
// FormTexts::ModuleSizeItems; the menu's saves print at the default.
constexpr std::array<int, 5> ModuleSizesMicrometres{250, 330, 500, 750, 1000};
constexpr std::size_t DefaultModuleSize = 2;
static_assert(ModuleSizesMicrometres.size() == std::size(FormTexts::ModuleSizeItems));
static_assert(ModuleSizesMicrometres[DefaultModuleSize] == PrintModuleMicrometres &&
              PrintModuleMicrometres == SvgModuleMicrometres);

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The user's Pictures folder, or nothing when the system names none.
std::wstring PicturesFolder()
{
    ScopedCoTaskString path;
    if (FAILED(SHGetKnownFolderPath(FOLDERID_Pictures, 0, nullptr, path.put())) || !path)
        return {};
    return path.get();
}

// The file the user chose, written: replaced only when the dialog asked.
void WriteChosenFile(HWND owner, const SaveAsChoice& choice, const std::vector<std::uint8_t>& bytes)
{
    const DWORD error =
        WriteFileAt(choice.path, bytes, choice.confirmed ? CREATE_ALWAYS : CREATE_NEW);
    if (error != ERROR_SUCCESS) {
        Warn(owner, FormTexts::SaveFailed(FolderOfPath(choice.path), SystemErrorText(error)));
        return;
    }
    Inform(owner, FormTexts::Saved);
}

// The clipboard opened for owner, or not open after about a second of tries.
void OpenClipboardPatiently(std::optional<ScopedClipboard>& clipboard, HWND owner)
{
    for (int tries = 1;; ++tries) {
        clipboard.emplace(owner);
        if (clipboard->IsOpen() || tries == ClipboardTries) return;
        clipboard.reset();
        Sleep(ClipboardPauseMs);
    }
}

// True when the clipboard took the bitmap (and with it its ownership). The
// clipboard is closed again on return, before any message box, so that other
// programs may read it meanwhile.
bool PutOnClipboard(HWND owner, ScopedBitmap& bitmap)
{
    std::optional<ScopedClipboard> clipboard;
    OpenClipboardPatiently(clipboard, owner);
    if (!clipboard->IsOpen() || !EmptyClipboard() || !SetClipboardData(CF_BITMAP, bitmap.get()))
        return false;
    (void)bitmap.release();
    return true;
}

} // namespace

const OutputKind& SymbolOutputs::BoxPicture() { return BoxKind; }

std::span<const OutputKind> SymbolOutputs::MenuKinds() { return MenuRows; }

void SymbolOutputs::Save(HWND owner, const OutputKind& kind, const PictureBox& box,
                         const ModuleMatrix* symbol) const
{
    if (!symbol) {
        Warn(owner, FormTexts::NothingToSave);
        return;
    }
    const std::vector<std::uint8_t> bytes =
        kind.makeBytes(OutputSource{box, *symbol, PrintModuleMicrometres});
    if (bytes.empty()) {
        Warn(owner, FormTexts::FileNotMade(kind.format));
        return;
    }
    SaveNewFile(owner, bytes, kind.ending);
}

// Named after the time of day with the ending, under a name no file has yet.
void SymbolOutputs::SaveNewFile(HWND owner, const std::vector<std::uint8_t>& bytes,
                                const wchar_t* ending) const
{
    const std::wstring folder = SaveFolder();
    const SaveResult saved =
        WriteNewFile(folder, TimeOfDayName(services_.localTime()), ending, bytes);
    if (saved.error != ERROR_SUCCESS) {
        Warn(owner, FormTexts::SaveFailed(folder, SystemErrorText(saved.error)));
        return;
    }
    Inform(owner, FormTexts::Saved);
}

void SymbolOutputs::SaveAs(HWND owner, const PictureBox& box, const ModuleMatrix* symbol) const
{
    if (!symbol) {
        Warn(owner, FormTexts::NothingToSave);
        return;
    }
    std::vector<SaveAsType> types;
    for (const OutputKind* kind : SaveAsKinds)
        types.push_back({kind->typeName, kind->pattern, kind->ending});
    const SaveAsDialog dialog(types, FormTexts::ModuleSizeLabel, FormTexts::ModuleSizeItems,
                              DefaultModuleSize);
    const std::wstring name =
        TimeOfDayName(services_.localTime()) + SaveAsKinds.front()->ending;
    const SaveAsChoice choice = dialog.Show(owner, SaveAsStartFolder(), name);
    if (choice.outcome == SaveAsChoice::Outcome::Cancelled) return;
    if (choice.outcome == SaveAsChoice::Outcome::Failed) {
        Warn(owner, FormTexts::SaveDialogNotShown);
        return;
    }
    const OutputKind& kind = *SaveAsKinds[choice.type];
    const std::vector<std::uint8_t> bytes = kind.makeBytes(
        OutputSource{box, *symbol, ModuleSizesMicrometres[choice.choiceItem]});
    if (bytes.empty()) {
        Warn(owner, FormTexts::FileNotMade(kind.format));
        return;
    }
    WriteChosenFile(owner, choice, bytes);
}

std::wstring SymbolOutputs::SaveAsStartFolder() const
{
    const std::wstring folder = SaveFolder();
    if (IsFolder(folder)) return folder;
    const std::wstring pictures = PicturesFolder();
    return pictures.empty() ? folder : pictures;
}

void SymbolOutputs::OpenSaveFolder(HWND owner) const
{
    const std::wstring folder = SaveFolder();
    if (!IsFolder(folder)) {
        Warn(owner, FormTexts::FolderMissing(folder));
        return;
    }
    if (!services_.openFolder(folder)) Warn(owner, FormTexts::FolderNotOpened(folder));
}

void SymbolOutputs::Copy(HWND owner, const PictureBox& box) const
{
    if (!box.HasPicture()) {
        Warn(owner, FormTexts::NothingToCopy);
        return;
    }
    // The bitmap first: what the user had on the clipboard is emptied only
    // when there is something to put in its place.
    ScopedBitmap bitmap(box.CopyBitmap());
    if (!bitmap) {
        Warn(owner, FormTexts::CopyNotMade);
        return;
    }
    if (!PutOnClipboard(owner, bitmap)) {
        Warn(owner, FormTexts::ClipboardBusy);
        return;
    }
    Inform(owner, FormTexts::Copied);
}

std::wstring SymbolOutputs::SaveFolder() const
{
    std::wstring folder = services_.programFolder();
    if (folder.empty() || (folder.back() != L'\\' && folder.back() != L'/')) folder += L'\\';
    return folder + FormTexts::SaveFolderName;
}
