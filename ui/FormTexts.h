// Every text the main window shows the user (captions, list items, tool
// tips, menu items, message boxes and the too-long advice) and the window's
// own colours, each named once. Portable, so that the advice, built natively
// too, takes its words from here.
#pragma once

#include <cstdint>
#include <string>

namespace FormTexts {

inline constexpr wchar_t Title[] = L"Vemora";
// The author's web site: scheme and host, no final slash.
inline constexpr wchar_t WebSite[] = L"http://www.olvane.example";
inline constexpr wchar_t Brand[] = L"Olvane";
// Text1's start text is this, the web site and a line break.
inline constexpr wchar_t StartTextOpening[] = L"Olvane软件：";
inline constexpr wchar_t CreateCaption[] = L"创建";
inline constexpr wchar_t SaveCaption[] = L"保存";
// The folder beside the program that every save writes into.
inline constexpr wchar_t SaveFolderName[] = L"二维码图片";

// The lists' items: "自动" (automatic) opens the version and mask lists.
inline constexpr wchar_t Automatic[] = L"自动";
inline constexpr const wchar_t* LevelItems[] = {L"L - 7%", L"M - 15%", L"Q - 25%", L"H - 30%"};
inline constexpr const wchar_t* EncodingItems[] = {L"ANSI", L"UTF-8"};

// Tool tips: cmb1[0..3], then Text1.
inline constexpr const wchar_t* ListToolTips[] = {L"Version", L"Error correction level",
                                                  L"Mask type", L"Text encoding"};
inline constexpr wchar_t Text1ToolTip[] =
    L"请双击后输入要创建二维条码的内容，然后点击“创建”按钮。";

// The symbol's menu.
inline constexpr wchar_t MenuCopy[] = L"复制";
inline constexpr wchar_t MenuSavePrintPng[] = L"保存高清 PNG";
inline constexpr wchar_t MenuSaveSvg[] = L"保存 SVG 矢量图";
inline constexpr wchar_t MenuSaveAs[] = L"另存为…";
inline constexpr wchar_t MenuOpenFolder[] = L"打开图片文件夹";

// The Save dialog's file types, in its list's order, and its drop-down of
// the printed module size.
inline constexpr wchar_t TypePrintPng[] = L"高清 PNG 图片 (*.png)";
inline constexpr wchar_t TypeSvg[] = L"SVG 矢量图 (*.svg)";
inline constexpr wchar_t TypeBoxPng[] = L"屏幕图片 PNG (*.png)";
inline constexpr wchar_t ModuleSizeLabel[] = L"模块尺寸";
inline constexpr const wchar_t* ModuleSizeItems[] = {L"0.25 mm", L"0.33 mm", L"0.5 mm",
                                                     L"0.75 mm", L"1.0 mm"};

// Pic2 as a screen reader names it: the symbol shown, and that a click
// copies it; or that there is none yet.
inline constexpr wchar_t NoSymbolName[] = L"尚未创建二维码";
inline std::wstring SymbolName(int version, const wchar_t* level)
{
    return L"二维码：版本 " + std::to_wstring(version) + L"，纠错等级 " + level + L"（单击复制）";
}

// Message boxes: warnings under WarningTitle, confirmations under
// InformationTitle.
inline constexpr wchar_t WarningTitle[] = L"系统提示";
inline constexpr wchar_t InformationTitle[] = L"Olvane提示";
inline constexpr wchar_t NothingToSave[] = L"你还没有“创建”二维码图片，请先创建后再按保存！";
inline constexpr wchar_t Saved[] = L"你已成功保存二维码图片！";
inline constexpr wchar_t NothingToCopy[] = L"你还没有“创建”二维码图片，请先创建后再进行复制！";
inline constexpr wchar_t CopyNotMade[] = L"无法生成二维码图片，二维码图片没有复制，请稍后再试！";
inline constexpr wchar_t ClipboardBusy[] = L"无法打开剪贴板，二维码图片没有复制，请稍后再试！";
inline constexpr wchar_t Copied[] = L"你已成功复制到剪贴板!";
inline constexpr wchar_t InvalidUtf16[] =
    L"内容中有无效的字符（不成对的代理项），无法转换为所选编码，请删除后再创建！";
inline constexpr wchar_t PictureNotMade[] = L"内容可以编码，但无法生成二维码图片，请稍后再试！";

inline constexpr wchar_t SaveDialogNotShown[] =
    L"无法打开“另存为”对话框，二维码图片没有保存，请稍后再试！";

// The picture folder is missing, or the file manager could not open it.
inline std::wstring FolderMissing(const std::wstring& folder)
{
    return L"图片文件夹“" + folder + L"”不存在，请在程序所在的文件夹中建立它！";
}
inline std::wstring FolderNotOpened(const std::wstring& folder)
{
    return L"无法打开图片文件夹“" + folder + L"”，请稍后再试！";
}
// A file of format ("PNG", "SVG") could not be made.
inline std::wstring FileNotMade(const wchar_t* format)
{
    return std::wstring(L"无法生成 ") + format + L" 图片，二维码图片没有保存！";
}
// The save folder refused the file, for reason (a sentence without its stop).
inline std::wstring SaveFailed(const std::wstring& folder, const std::wstring& reason)
{
    return L"无法保存二维码图片到文件夹“" + folder + L"”：" + reason + L"。";
}
// The text holds characters that ANSI code page codePage lacks.
inline std::wstring Unmappable(unsigned codePage)
{
    return L"内容中有所选 ANSI 编码（代码页 " + std::to_wstring(codePage) +
           L"）无法表示的字符，请选择 UTF-8 编码后再创建！";
}

// The too-long advice: the opening, then what to choose ("请选择" and a
// version, a level or both), or the message that nothing holds the data.
inline constexpr wchar_t TooLongOpening[] = L"内容太长，所选版本和纠错等级无法容纳，";
inline constexpr wchar_t TooLongForAny[] =
    L"内容太长，即使版本 40 和纠错等级 L 也无法容纳，请减少内容！";
inline constexpr const wchar_t* LevelNames[] = {L"L", L"M", L"Q", L"H"};
inline std::wstring ChooseVersion(int version)
{
    return L"请选择版本 " + std::to_wstring(version) + L" 或更大的版本";
}
// "纠错等级 Q 或更低的纠错等级"; L is the lowest level, so it stands alone.
inline std::wstring LevelOrLower(int level)
{
    const std::wstring named = std::wstring(L"纠错等级 ") + LevelNames[level - 1];
    return level == 1 ? named : named + L" 或更低的纠错等级";
}
inline std::wstring ChooseLevel(int level) { return L"请选择" + LevelOrLower(level); }
inline std::wstring ChooseVersionOrLevel(int version, int level)
{
    return ChooseVersion(version) + L"，或选择" + LevelOrLower(level);
}
inline std::wstring ChooseBoth(int versionAtL)
{
    return L"请选择更大的版本和更低的纠错等级（例如版本 " + std::to_wstring(versionAtL) +
           L"、纠错等级 L）";
}
inline constexpr wchar_t AdviceEnd[] = L"！";

} // namespace FormTexts

// The window's colours as Windows colour values (0x00BBGGRR, as RGB makes them).
namespace FormColours {

constexpr std::uint32_t Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return red | (std::uint32_t{green} << 8) | (std::uint32_t{blue} << 16);
}
inline constexpr std::uint32_t Label1Text = Rgb(0, 64, 0); // dark green
inline constexpr std::uint32_t LinkVisited = Rgb(0, 0, 255);

} // namespace FormColours
