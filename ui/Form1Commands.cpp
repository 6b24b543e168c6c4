// Form1's commands: Create, and the outputs of the symbol on show (Save, the
// symbol's menu, Copy) handed to SymbolOutputs; the link.
#include "Form1.h"

#include "FormMessages.h"
#include "FormTexts.h"
#include "OlePicture.h"
#include "clsQRCode.h"
#include "mdlFitAdvice.h"
#include "mdlTextBytes.h"

namespace {

using FormLayout::Cmb1;

int SelectedIndex(HWND list) { return static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0)); }

std::wstring WindowText(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int read = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(read > 0 ? read : 0));
    return text;
}

// The warning for text the chosen encoding cannot carry, or nothing.
std::optional<std::wstring> UnconvertibleText(TextBytes::Status status)
{
    if (status == TextBytes::Status::InvalidUtf16) return FormTexts::InvalidUtf16;
    if (status == TextBytes::Status::Unmappable) return FormTexts::Unmappable(GetACP());
    if (status == TextBytes::Status::Failed) return FormTexts::PictureNotMade;
    return std::nullopt;
}

bool IsHighSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

} // namespace

void Form1::Command1_Click()
{
    // 1. Every list must have a selection.
    for (int index = 0; index < FormLayout::ListCount; ++index)
        if (SelectedIndex(Control(Cmb1(index))) < 0) return;

    // 2. The content in the chosen encoding.
    const bool utf8 = SelectedIndex(Control(Cmb1(3))) == 1;
    const std::wstring text = ContentText();
    const TextBytes bytes = utf8 ? Utf8Bytes(text) : AnsiBytes(text);
    if (const auto warning = UnconvertibleText(bytes.status)) {
        ForgetSymbol();
        return Warn(window_, *warning);
    }

    // 3. Encode, and make the picture; Kanji mode only for Shift JIS bytes.
    // Nothing the window keeps changes before both are made.
    if (!coder_) coder_ = std::make_unique<clsQRCode>();
    coder_->SetKanjiAllowed(!utf8 && GetACP() == 932);
    const int version = SelectedIndex(Control(Cmb1(0)));
    const int level = SelectedIndex(Control(Cmb1(1))) + 1;
    const int mask = SelectedIndex(Control(Cmb1(2))) - 1;
    std::optional<ModuleMatrix> symbol =
        coder_->EncodeMatrix(bytes.bytes.data(), bytes.count, version, level, mask);
    ScopedComPtr<IPictureDisp> picture =
        symbol ? services_.makePicture(*symbol) : ScopedComPtr<IPictureDisp>();
    if (!picture) {
        ForgetSymbol();
        return WarnNoPicture(bytes.bytes.data(), bytes.count, version, level);
    }

    // 4. Kept and shown enlarged in Pic2, at once, and named for screen
    // readers (a symbol is 17 + 4 x version modules wide, ISO/IEC 18004 6.3.1).
    const std::wstring name =
        FormTexts::SymbolName((symbol->Size() - 17) / 4, FormTexts::LevelNames[level - 1]);
    TakeSymbol(std::move(*symbol), std::move(picture), name.c_str());
}

// Text1's content. The box stops a paste at its limit, perhaps between the
// two halves of a surrogate pair: that half of a character the user never
// typed is left out, and the rest, longer than any symbol holds, gets the
// too-long warning.
std::wstring Form1::ContentText() const
{
    std::wstring text = WindowText(Control(Text1Id));
    if (text.size() == Text1MaxLength && IsHighSurrogate(text.back())) text.pop_back();
    return text;
}

void Form1::WarnNoPicture(const std::uint8_t* data, int count, int version, int level)
{
    // Too long only when the data really fit no symbol (measured, no symbol
    // is built); otherwise the system could not draw it, and another version
    // or level would not help.
    const auto tooLong = TooLongMessage(*coder_, data, count, version, level);
    Warn(window_, tooLong ? *tooLong : FormTexts::PictureNotMade);
}

// The matrix, Image1's picture and Pic2's drawing change together: the moves
// cannot fail, and when the box cannot be drawn nothing is kept.
void Form1::TakeSymbol(ModuleMatrix&& symbol, ScopedComPtr<IPictureDisp>&& picture,
                       const wchar_t* name)
{
    symbol_ = std::move(symbol);
    image1_ = std::move(picture);
    if (ShowSymbolInPic2()) return pic2_.SetAccessibleName(name);
    ForgetSymbol();
    Warn(window_, FormTexts::PictureNotMade);
}

// True when Pic2 shows Image1's picture.
bool Form1::ShowSymbolInPic2()
{
    HBITMAP symbol = PictureBitmap(image1_.get());
    SendMessageW(Control(Image1Id), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(symbol));
    if (!pic2_.DrawStretched(symbol)) return false;
    pic2_.TakePicture();
    return true;
}

void Form1::ForgetSymbol()
{
    image1_.reset();
    symbol_.reset();
    SendMessageW(Control(Image1Id), STM_SETIMAGE, IMAGE_BITMAP, 0);
    pic2_.Clear();
    pic2_.SetAccessibleName(FormTexts::NoSymbolName);
}

void Form1::Command2_Click()
{
    // The symbol drawn into Pic2 again, so that the file holds what the box
    // shows; a box that could not be drawn would be saved blank or stale.
    if (image1_ && !ShowSymbolInPic2()) return Save_Failed();
    outputs_.Save(window_, SymbolOutputs::BoxPicture(), pic2_, SymbolOnShow());
}

void Form1::mnuSave_Click(const OutputKind& kind)
{
    outputs_.Save(window_, kind, pic2_, SymbolOnShow());
}

void Form1::mnuSaveAs_Click()
{
    // The box's picture is one of the dialog's types: drawn again, as for Save.
    if (image1_) ShowSymbolInPic2();
    outputs_.SaveAs(window_, pic2_, SymbolOnShow());
}

void Form1::mnuOpenFolder_Click() { outputs_.OpenSaveFolder(window_); }

void Form1::Pic2_Click() { outputs_.Copy(window_, pic2_); }

void Form1::Create_Failed()
{
    ForgetSymbol();
    Warn(window_, FormTexts::PictureNotMade);
}

void Form1::Save_Failed() { Warn(window_, FormTexts::FileNotMade(SymbolOutputs::BoxPicture().format)); }

void Form1::Copy_Failed() { Warn(window_, FormTexts::CopyNotMade); }

// The menu of the symbol, at the pointer for a right click, over the box for
// Shift+F10 and the Menu key (which give the position -1, -1). The chosen
// item comes back as WM_COMMAND; the saves are grey while there is no symbol,
// the picture folder never.
void Form1::Pic2_ContextMenu(LPARAM screenPoint)
{
    POINT at{static_cast<short>(LOWORD(screenPoint)), static_cast<short>(HIWORD(screenPoint))};
    if (at.x == -1 && at.y == -1) {
        RECT box{};
        GetClientRect(Control(Pic2Id), &box);
        at = POINT{box.right / 2, box.bottom / 2};
        ClientToScreen(Control(Pic2Id), &at);
    }
    ScopedMenu menu(CreatePopupMenu());
    if (!menu) return;
    AppendMenuW(menu.get(), MF_STRING, mnuCopyId, FormTexts::MenuCopy);
    const UINT saves = symbol_ ? MF_ENABLED : MF_GRAYED;
    UINT_PTR id = mnuSavePrintPngId;
    for (const OutputKind& kind : SymbolOutputs::MenuKinds())
        AppendMenuW(menu.get(), MF_STRING | saves, id++, kind.menuText);
    AppendMenuW(menu.get(), MF_STRING | saves, mnuSaveAsId, FormTexts::MenuSaveAs);
    AppendMenuW(menu.get(), MF_STRING, mnuOpenFolderId, FormTexts::MenuOpenFolder);
    TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0,
                   window_, nullptr);
}

void Form1::Label2_Click()
{
    const std::wstring commandLine = LinkLabel::OpenCommandLine(WebSite + L"/");
    if (!commandLine.empty()) services_.startProgram(commandLine);
}
