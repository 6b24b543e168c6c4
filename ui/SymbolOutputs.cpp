#include "SymbolOutputs.h"

#include <array>
#include <optional>

#include "FormMessages.h"
#include "FormTexts.h"
#include "PictureBox.h"
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
    return EncodePrintPng(source.symbol);
}

std::vector<std::uint8_t> Svg(const OutputSource& source)
{
    const std::string svg = SymbolToSvg(source.symbol);
    return std::vector<std::uint8_t>(svg.begin(), svg.end());
}

constexpr OutputKind BoxKind{nullptr, L"PNG", L".png", BoxPng};

constexpr std::array<OutputKind, 2> MenuRows{{
    {FormTexts::MenuSavePrintPng, L"PNG", L".png", PrintPng},
    {FormTexts::MenuSaveSvg, L"SVG", L".svg", Svg},
}};

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
    const std::vector<std::uint8_t> bytes = kind.makeBytes(OutputSource{box, *symbol});
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
