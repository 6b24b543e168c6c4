// Form1: creating the window and its controls, and routing every message to
// its handler. The layout is in Form1Layout.cpp, the commands in
// Form1Commands.cpp.
#include "Form1.h"

#include <commctrl.h>

#include "CallbackBarrier.h"
#include "DpiMetrics.h"
#include "FormMessages.h"
#include "FormTexts.h"
#include "SkinEngine.h"
#include "SkinPalette.h"
#include "WindowClass.h"
#include "clsQRCode.h"

const std::wstring Form1::WebSite = FormTexts::WebSite;

namespace {

using FormLayout::Cmb1;

// The lists' preset items: automatic version, level M, automatic mask, UTF-8.
constexpr int ListPresets[FormLayout::ListCount] = {0, 1, 0, 1};

void AddItem(HWND list, const std::wstring& text)
{
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// Runs command; should it throw (out of memory, most likely), failed tells
// the user instead, and the window's barrier never sees the exception.
template <typename Command, typename Failed>
void RunCommand(Command&& command, Failed&& failed)
{
    CallbackBarrier([&] { command(); return true; }, [&] { failed(); return false; });
}

// "自动", then the numbers first..last.
void AddNumbers(HWND list, int first, int last)
{
    AddItem(list, FormTexts::Automatic);
    for (int number = first; number <= last; ++number) AddItem(list, std::to_wstring(number));
}

} // namespace

const Form1::CommandRoute Form1::CommandRoutes[] = {
    {Command1Id, BN_CLICKED, &Form1::Command1_Click, &Form1::Create_Failed},
    {Command2Id, BN_CLICKED, &Form1::Command2_Click, &Form1::Save_Failed},
    {Pic2Id, STN_CLICKED, &Form1::Pic2_Click, &Form1::Copy_Failed},
    {Label2Id, STN_CLICKED, &Form1::Label2_Click, nullptr},
    {Text1Id, EN_SETFOCUS, &Form1::Text1_GotFocus, nullptr},
    {mnuCopyId, 0, &Form1::Pic2_Click, &Form1::Copy_Failed},
    {mnuSaveAsId, 0, &Form1::mnuSaveAs_Click, &Form1::Save_Failed},
    {mnuOpenFolderId, 0, &Form1::mnuOpenFolder_Click, nullptr},
};

const Form1::ControlRoute Form1::ControlRoutes[] = {
    {Text1Id, &Form1::Text1_Message},
    {Label2Id, &Form1::Label2_Message},
};

Form1::Form1(FormServices services) : services_(std::move(services))
{
    FormServices defaults = DefaultFormServices();
    if (!services_.startProgram) services_.startProgram = defaults.startProgram;
    if (!services_.programFolder) services_.programFolder = defaults.programFolder;
    if (!services_.localTime) services_.localTime = defaults.localTime;
    if (!services_.makePicture) services_.makePicture = defaults.makePicture;
    if (!services_.windowDpi) services_.windowDpi = defaults.windowDpi;
}

Form1::~Form1()
{
    if (window_) DestroyWindow(window_);
}

bool Form1::RegisterWindowClass(HINSTANCE instance)
{
    WNDCLASSEXW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = ClassName;
    // The icon's 32 x 32 and 16 x 16 (from 24 x 24) images for the title bar
    // and the task switcher.
    windowClass.hIcon = static_cast<HICON>(LoadImageW(
        instance, MAKEINTRESOURCEW(IconResourceId), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IconResourceId), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    return RegisterWindowClassOnce(windowClass);
}

bool Form1::Create(HINSTANCE instance, int showCommand)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    if (!PictureBox::Register(instance) || !RegisterWindowClass(instance)) return false;

    // The frame is made for the system's DPI; WM_CREATE lays the window out
    // at the DPI of the monitor it opened on, and the frame follows if that
    // differs.
    const UINT systemDpi = WindowDpi(nullptr);
    const SIZE frame = FrameSize(systemDpi);
    if (!CreateWindowExW(ExStyle, ClassName, FormTexts::Title, Style, CW_USEDEFAULT,
                         CW_USEDEFAULT, frame.cx, frame.cy, nullptr, nullptr, instance, this))
        return false;
    if (dpi_ != systemDpi) {
        const SIZE fitted = FrameSize(dpi_);
        SetWindowPos(window_, nullptr, 0, 0, fitted.cx, fitted.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    SetFocus(Control(Command1Id));
    return true;
}

// ---------------------------------------------------------------------------
// The window's parts

HWND Form1::CreateChild(const wchar_t* windowClass, const wchar_t* text, DWORD style, DWORD exStyle,
                        FormControlId id)
{
    const ControlRect place = FormLayout::PlaceAt(id, int(dpi_));
    return CreateWindowExW(
        exStyle, windowClass, text, WS_CHILD | WS_VISIBLE | style, place.left, place.top,
        place.width, place.height, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE)), nullptr);
}

bool Form1::CreateControls()
{
    fonts_ = MakeFormFonts(dpi_);
    if (!CreateChildren()) return false;
    SetUpChildren();
    CreateToolTips();
    return true;
}

bool Form1::CreateChildren()
{
    // Created in tab order: the z-order of the children is the order in
    // which IsDialogMessage moves the focus.
    const DWORD list = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
    const DWORD button = WS_TABSTOP | BS_PUSHBUTTON;
    const std::wstring startText = FormTexts::StartTextOpening + WebSite + L"\r\n";
    const ControlRect pic2 = FormLayout::PlaceAt(Pic2Id, int(dpi_));
    return CreateChild(L"Button", FormTexts::CreateCaption, button, 0, Command1Id) &&
           CreateChild(L"ComboBox", L"", list, 0, Cmb1(0)) &&
           CreateChild(L"ComboBox", L"", list, 0, Cmb1(1)) &&
           CreateChild(L"ComboBox", L"", list, 0, Cmb1(2)) &&
           CreateChild(L"Edit", startText.c_str(),
                       WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                       WS_EX_CLIENTEDGE, Text1Id) &&
           CreateChild(L"ComboBox", L"", list, 0, Cmb1(3)) &&
           CreateChild(L"Button", FormTexts::SaveCaption, button, 0, Command2Id) &&
           pic2_.Create(window_, Pic2Id, pic2.left, pic2.top, pic2.width, pic2.height,
                        WS_TABSTOP) &&
           CreateChild(L"Static", FormTexts::Brand, SS_CENTER | SS_NOTIFY, 0, Label1Id) &&
           CreateChild(L"Static", WebSite.c_str(), SS_CENTER | SS_NOTIFY, 0, Label2Id) &&
           CreateChild(L"Static", L"", SS_BITMAP, 0, Image1Id);
}

void Form1::SetUpChildren()
{
    pic2_.SetAccessibleName(FormTexts::NoSymbolName);
    link_.Attach(Control(Label2Id));
    link_.SetDpi(dpi_);
    // The lists' fields are fitted to their fonts.
    ApplyFonts();
    for (int index = 0; index < FormLayout::ListCount; ++index) FitListField(Control(Cmb1(index)));
    // Image1 only holds the encoder's picture: never shown, not even where a
    // maximised window would uncover it.
    ShowWindow(Control(Image1Id), SW_HIDE);
    // No symbol holds more than 7,089 characters (digits in version 40-L), so
    // typing and pasting stop at the edit control's classic limit: a 10 MB
    // paste would otherwise keep the text box busy for minutes.
    SendMessageW(Control(Text1Id), EM_SETLIMITTEXT, Text1MaxLength, 0);
    for (UINT_PTR route = 0; route < std::size(ControlRoutes); ++route)
        SetWindowSubclass(Control(ControlRoutes[route].id), ControlSubclassProc, route,
                          reinterpret_cast<DWORD_PTR>(this));
}

void Form1::CreateToolTips()
{
    toolTip_ = CreateWindowExW(
        WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE)), nullptr);
    for (int index = 0; index < FormLayout::ListCount; ++index)
        AddToolTip(Control(Cmb1(index)), FormTexts::ListToolTips[index]);
    AddToolTip(Control(Text1Id), FormTexts::Text1ToolTip);
}

void Form1::AddToolTip(HWND control, const wchar_t* text)
{
    if (!toolTip_ || !control) return;
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

// ---------------------------------------------------------------------------
// Message routing (BaseWindow<Form1>::WindowProc brings every message to
// OnMessage): unpack, call one handler.

LRESULT Form1::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        dpi_ = services_.windowDpi(window_);
        if (!CreateControls()) return -1;
        Form_Load();
        return 0;
    case WM_SIZE: Form_Resize(LOWORD(lParam)); return 0;
    case WM_DPICHANGED:
        Form_DpiChanged(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_ACTIVATE: Form_Activate(LOWORD(wParam) != WA_INACTIVE); return 0;
    case WM_MOUSEMOVE: Form_MouseMove(); return 0;
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) != Control(Pic2Id)) break;
        Pic2_ContextMenu(lParam);
        return 0;
    case WM_CTLCOLORSTATIC:
        // Only for a label of this window: the message may come from anywhere.
        if (!IsChild(window_, reinterpret_cast<HWND>(lParam))) break;
        return reinterpret_cast<LRESULT>(
            OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_DESTROY: Form_Unload(); return 0;
    case WM_NCDESTROY:
        // The last message: BaseWindow lets go of the window after it.
        toolTip_ = nullptr;
        if (services_.quitOnDestroy) PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void Form1::OnCommand(int id, int code)
{
    for (const CommandRoute& route : CommandRoutes) {
        if (route.id != id || route.code != code) continue;
        return RunCommand([&] { (this->*route.handler)(); },
                          [&] { if (route.failed) (this->*route.failed)(); });
    }
    const auto saves = SymbolOutputs::MenuKinds();
    const int save = id - mnuSavePrintPngId;
    if (code != 0 || save < 0 || save >= static_cast<int>(saves.size())) return;
    const OutputKind& kind = saves[static_cast<std::size_t>(save)];
    RunCommand([&] { mnuSave_Click(kind); }, [&] { Warn(window_, FormTexts::FileNotMade(kind.format)); });
}

LRESULT CALLBACK Form1::ControlSubclassProc(HWND control, UINT message, WPARAM wParam,
                                            LPARAM lParam, UINT_PTR route, DWORD_PTR form) noexcept
{
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(control, ControlSubclassProc, route);
        return DefSubclassProc(control, message, wParam, lParam);
    }
    // Through the barrier: a handler that throws leaves the message to the
    // control's own procedure.
    return WindowProcBarrier(
        control, message,
        [&] {
            return (reinterpret_cast<Form1*>(form)->*ControlRoutes[route].handler)(
                control, message, wParam, lParam);
        },
        [&] { return DefSubclassProc(control, message, wParam, lParam); });
}

HBRUSH Form1::OnCtlColorStatic(HDC dc, HWND label)
{
    const int id = GetDlgCtrlID(label);
    SetBkMode(dc, TRANSPARENT);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    if (id == Label1Id)
        SetTextColor(dc, IsHighContrast() ? SystemColourFor(SkinRole::Brand)
                                          : FormColours::Label1Text);
    else if (id == Label2Id) SetTextColor(dc, link_.TextColor());
    else SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    // The system's own brush follows a change of the system colours (a
    // high-contrast theme turned on or off) without being made again.
    return GetSysColorBrush(COLOR_BTNFACE);
}

LRESULT Form1::Label2_Message(HWND label2, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MOUSEMOVE) Label2_MouseMove();
    return DefSubclassProc(label2, message, wParam, lParam);
}

// ---------------------------------------------------------------------------
// Handlers of the window

void Form1::Form_Load()
{
    AddNumbers(Control(Cmb1(0)), 1, 40);
    for (const wchar_t* level : FormTexts::LevelItems) AddItem(Control(Cmb1(1)), level);
    AddNumbers(Control(Cmb1(2)), 0, 7);
    for (const wchar_t* encoding : FormTexts::EncodingItems) AddItem(Control(Cmb1(3)), encoding);
    // CB_SETCURSEL sends no CBN_SELCHANGE: no handler runs.
    for (int index = 0; index < FormLayout::ListCount; ++index)
        SendMessageW(Control(Cmb1(index)), CB_SETCURSEL, WPARAM(ListPresets[index]), 0);
    SkinStart(window_); // last: the skin sees every control as it will stay
}

void Form1::Form_Unload() { SkinStop(window_); }

// The box is emptied as an edit it can undo (EM_REPLACESEL with bCanUndo):
// a double-click meant to select a word loses nothing that Ctrl+Z or the
// box's own Undo cannot bring back.
void Form1::Text1_DblClick()
{
    HWND text1 = Control(Text1Id);
    SendMessageW(text1, EM_SETSEL, 0, -1);
    SendMessageW(text1, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L""));
}

