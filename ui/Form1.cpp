#include "Form1.h"

#include <commctrl.h>

#include <array>
#include <optional>

#include "CallbackBarrier.h"
#include "DpiMetrics.h"
#include "OlePicture.h"
#include "SkinEngine.h"
#include "clsQRCode.h"
#include "mdlFakeBarCode.h"
#include "mdlFitAdvice.h"
#include "mdlPictureFile.h"
#include "mdlSvgWriter.h"
#include "mdlTextBytes.h"

const std::wstring Form1::WebSite = L"http://www.olvane.example";

namespace {

constexpr wchar_t WarningTitle[] = L"系统提示";
constexpr wchar_t InformationTitle[] = L"Olvane提示";
constexpr wchar_t SaveFolderName[] = L"二维码图片";
constexpr COLORREF DarkGreen = RGB(0, 64, 0);
constexpr COLORREF LinkBlue = RGB(0, 0, 255);
constexpr wchar_t NothingToSave[] = L"你还没有“创建”二维码图片，请先创建后再按保存！";
// Clipboard managers and other programs hold the clipboard open for moments
// at a time: Copy tries for about a second before it gives up.
constexpr int ClipboardTries = 10;
constexpr DWORD ClipboardPauseMs = 100;

// A point size as a character height in pixels at dpi (negative: the
// height of the glyphs, not of the cell), rounded to the nearest pixel.
int FontHeight(double points, UINT dpi) { return -static_cast<int>(points * dpi / 72.0 + 0.5); }

HFONT MakeTahoma(double points, int weight, bool underline, UINT dpi)
{
    return CreateFontW(FontHeight(points, dpi), 0, 0, 0, weight, FALSE, underline, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, L"Tahoma");
}

struct ListItems {
    int id;
    int preset;
    const wchar_t* toolTip;
};
// cmb1[0..3] with their preset selections.
constexpr std::array<ListItems, 4> Lists{{
    {Form1::Cmb1Id + 0, 0, L"Version"},
    {Form1::Cmb1Id + 1, 1, L"Error correction level"},
    {Form1::Cmb1Id + 2, 0, L"Mask type"},
    {Form1::Cmb1Id + 3, 1, L"Text encoding"},
}};

// Where each control lies, in pixels at 96 DPI (the design resolution),
// scaled to the window's DPI whenever it is laid out. A drop-down list's
// height is that of its open list; its closed field comes out 21 high.
struct ControlPlace {
    int id;
    int left;
    int top;
    int width;
    int height;
};
constexpr std::array<ControlPlace, 11> Places{{
    {Form1::Command1Id, 8, 8, 73, 25},
    {Form1::Cmb1Id + 0, 88, 8, 73, 300},
    {Form1::Cmb1Id + 1, 168, 8, 73, 200},
    {Form1::Cmb1Id + 2, 88, 40, 73, 200},
    {Form1::Text1Id, 248, 8, 249, 51},
    {Form1::Cmb1Id + 3, 168, 40, 73, 200},
    {Form1::Command2Id, 8, 36, 73, 25},
    {Form1::Pic2Id, 96, 88, 329, 329},
    {Form1::Label1Id, 0, 448, 505, 33},
    {Form1::Label2Id, 0, 480, 505, 17},
    {Form1::Image1Id, 136, 560, 113, 97},
}};
constexpr int ListFieldHeight = 21;

const ControlPlace& PlaceOf(int id)
{
    for (const ControlPlace& place : Places)
        if (place.id == id) return place;
    return Places.back(); // every id of the window has a row
}

void SelectAllText(HWND edit) { SendMessageW(edit, EM_SETSEL, 0, GetWindowTextLengthW(edit)); }

bool ControlKeyAlone() { return GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0; }

int SelectedIndex(HWND list) { return static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0)); }

void AddItem(HWND list, const std::wstring& text)
{
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring WindowText(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int read = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(read > 0 ? read : 0));
    return text;
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

// A program of the system folder by its full path, quoted for a command line,
// so that no program of that name in the current or the program's folder
// runs instead. Empty when the system folder is unknown.
std::wstring SystemProgramPath(const wchar_t* name)
{
    wchar_t folder[MAX_PATH] = L"";
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return L"\"" + std::wstring(folder, length) + L"\\" + name + L"\"";
}

} // namespace

Form1::Form1(FormServices services) : services_(std::move(services))
{
    FormServices defaults = DefaultFormServices();
    if (!services_.startProgram) services_.startProgram = defaults.startProgram;
    if (!services_.programFolder) services_.programFolder = defaults.programFolder;
    if (!services_.localTime) services_.localTime = defaults.localTime;
    if (!services_.makePicture) services_.makePicture = defaults.makePicture;
}

Form1::~Form1()
{
    if (window_) DestroyWindow(window_);
}

COLORREF Form1::LinkColor() const { return linkBlue_ ? LinkBlue : GetSysColor(COLOR_BTNTEXT); }

bool Form1::Create(HINSTANCE instance, int showCommand)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    if (!PictureBox::Register(instance)) return false;

    WNDCLASSEXW windowClass{};
    if (!GetClassInfoExW(instance, ClassName, &windowClass)) {
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = ClassName;
        // The icon's 32 x 32 and 16 x 16 (from 24 x 24) images for the
        // title bar and the task switcher.
        windowClass.hIcon = static_cast<HICON>(LoadImageW(
            instance, MAKEINTRESOURCEW(IconResourceId), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
        windowClass.hIconSm = static_cast<HICON>(
            LoadImageW(instance, MAKEINTRESOURCEW(IconResourceId), IMAGE_ICON,
                       GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
        if (!RegisterClassExW(&windowClass)) return false;
    }

    // The frame is made for the system's DPI; WM_CREATE lays the window out
    // at the DPI of the monitor it opened on, and the frame follows if that
    // differs.
    const UINT systemDpi = WindowDpi(nullptr);
    const SIZE frame = FrameSize(systemDpi);
    if (!CreateWindowExW(ExStyle, ClassName, L"Vemora", Style, CW_USEDEFAULT, CW_USEDEFAULT,
                         frame.cx, frame.cy, nullptr, nullptr, instance, this))
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

SIZE Form1::FrameSize(UINT dpi) const
{
    RECT frame{0, 0, ScaleToDpi(ClientWidth, dpi), ScaleToDpi(ClientHeight, dpi)};
    AdjustWindowRectForDpi(frame, Style, ExStyle, dpi);
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

int Form1::Scaled(int designValue) const { return ScaleToDpi(designValue, dpi_); }

bool Form1::PreTranslateMessage(MSG& message)
{
    return window_ && IsWindow(window_) && IsDialogMessageW(window_, &message);
}

int Form1::RunMessageLoop()
{
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (PreTranslateMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

// ---------------------------------------------------------------------------
// The window's parts

HWND Form1::CreateChild(const wchar_t* windowClass, const wchar_t* text, DWORD style, DWORD exStyle,
                        int id)
{
    const ControlPlace& place = PlaceOf(id);
    HWND child = CreateWindowExW(
        exStyle, windowClass, text, WS_CHILD | WS_VISIBLE | style, Scaled(place.left),
        Scaled(place.top), Scaled(place.width), Scaled(place.height), window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE)), nullptr);
    return child;
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

bool Form1::CreateControls()
{
    CreateFontsAndBrush();
    if (!CreateChildren()) return false;
    SetUpChildren();
    CreateToolTips();
    return true;
}

void Form1::CreateFontsAndBrush()
{
    MakeFonts();
    background_.reset(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
}

bool Form1::CreateChildren()
{
    // Created in tab order: the z-order of the children is the order in
    // which IsDialogMessage moves the focus.
    const DWORD list = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
    const std::wstring startText = L"Olvane软件：" + WebSite + L"\r\n";
    const ControlPlace& pic2 = PlaceOf(Pic2Id);
    const bool made =
        CreateChild(L"Button", L"创建", WS_TABSTOP | BS_PUSHBUTTON, 0, Command1Id) &&
        CreateChild(L"ComboBox", L"", list, 0, Cmb1Id + 0) &&
        CreateChild(L"ComboBox", L"", list, 0, Cmb1Id + 1) &&
        CreateChild(L"ComboBox", L"", list, 0, Cmb1Id + 2) &&
        CreateChild(L"Edit", startText.c_str(),
                    WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                    WS_EX_CLIENTEDGE, Text1Id) &&
        CreateChild(L"ComboBox", L"", list, 0, Cmb1Id + 3) &&
        CreateChild(L"Button", L"保存", WS_TABSTOP | BS_PUSHBUTTON, 0, Command2Id) &&
        pic2_.Create(window_, Pic2Id, Scaled(pic2.left), Scaled(pic2.top), Scaled(pic2.width),
                     Scaled(pic2.height), WS_TABSTOP) &&
        CreateChild(L"Static", L"Olvane", SS_CENTER | SS_NOTIFY, 0, Label1Id) &&
        CreateChild(L"Static", WebSite.c_str(), SS_CENTER | SS_NOTIFY, 0, Label2Id) &&
        CreateChild(L"Static", L"", SS_BITMAP, 0, Image1Id);
    if (!made) return false;
    // The lists' fields are fitted to their fonts.
    ApplyFonts();
    for (int index = 0; index < 4; ++index) FitListField(Control(Cmb1Id + index));
    return true;
}

void Form1::SetUpChildren()
{
    // Image1 only holds the encoder's picture: never shown, not even where a
    // maximised window would uncover it.
    ShowWindow(Control(Image1Id), SW_HIDE);

    // No symbol holds more than 7,089 characters (digits in version 40-L), so
    // typing and pasting stop at the edit control's classic limit: a 10 MB
    // paste would otherwise keep the text box busy for minutes.
    SendMessageW(Control(Text1Id), EM_SETLIMITTEXT, Text1MaxLength, 0);
    for (const int id : {int(Text1Id), int(Label1Id), int(Label2Id)})
        SetWindowSubclass(Control(id), ControlSubclassProc, static_cast<UINT_PTR>(id),
                          reinterpret_cast<DWORD_PTR>(this));
}

void Form1::CreateToolTips()
{
    toolTip_ = CreateWindowExW(
        WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE)), nullptr);
    for (const ListItems& items : Lists) AddToolTip(Control(items.id), items.toolTip);
    AddToolTip(Control(Text1Id), L"请双击后输入要创建二维条码的内容，然后点击“创建”按钮。");
}

// ---------------------------------------------------------------------------
// Message dispatch (BaseWindow<Form1>::WindowProc brings every message to
// OnMessage): unpack, call one handler.

LRESULT Form1::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        dpi_ = WindowDpi(window_);
        if (!CreateControls()) return -1;
        Form_Load();
        return 0;
    case WM_SIZE:
        Form_Resize(LOWORD(lParam));
        return 0;
    case WM_DPICHANGED:
        Form_DpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_ACTIVATE:
        Form_Activate(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_MOUSEMOVE:
        Form_MouseMove();
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) != Control(Pic2Id)) break;
        Pic2_ContextMenu(lParam);
        return 0;
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(
            OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_DESTROY:
        Form_Unload();
        return 0;
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
    if (id == Command1Id && code == BN_CLICKED) Command1_Click();
    else if (id == Command2Id && code == BN_CLICKED) Command2_Click();
    else if (id == Pic2Id && code == STN_CLICKED) Pic2_Click();
    else if (id == Label2Id && code == STN_CLICKED) Label2_Click();
    else if (id == mnuCopyId && code == 0) Pic2_Click();
    else if (id == mnuSavePrintPngId && code == 0) mnuSavePrintPng_Click();
    else if (id == mnuSaveSvgId && code == 0) mnuSaveSvg_Click();
    else if (id == Text1Id && code == EN_SETFOCUS) Text1_GotFocus();
}

LRESULT CALLBACK Form1::ControlSubclassProc(HWND control, UINT message, WPARAM wParam,
                                            LPARAM lParam, UINT_PTR id, DWORD_PTR form)
{
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(control, ControlSubclassProc, id);
        return DefSubclassProc(control, message, wParam, lParam);
    }
    Form1* self = reinterpret_cast<Form1*>(form);
    return WindowProcBarrier(
        control, message, [&] { return self->OnControlMessage(control, message, wParam, lParam); },
        [&] { return DefSubclassProc(control, message, wParam, lParam); });
}

LRESULT Form1::OnControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    const int id = GetDlgCtrlID(control);
    if (id == Text1Id && message == WM_LBUTTONDBLCLK) {
        const LRESULT result = DefSubclassProc(control, message, wParam, lParam);
        Text1_DblClick();
        return result;
    }
    if (id == Text1Id && message == WM_GETDLGCODE) {
        // A multi-line edit wants every key; leave Tab to the dialog manager
        // so that it moves the focus as in the rest of the window.
        LRESULT code = DefSubclassProc(control, message, wParam, lParam);
        const MSG* key = reinterpret_cast<const MSG*>(lParam);
        if (key && (key->message == WM_KEYDOWN || key->message == WM_CHAR) && key->wParam == VK_TAB)
            code &= ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
        return code;
    }
    if (id == Text1Id && message == WM_KEYDOWN && wParam == 'A' && ControlKeyAlone()) {
        // The multi-line edit control has no select-all key of its own.
        SelectAllText(control);
        return 0;
    }
    if (id == Text1Id && message == WM_CHAR && wParam == 0x01) return 0; // Ctrl+A's character
    if (id == Label2Id && message == WM_MOUSEMOVE) Label2_MouseMove();
    return DefSubclassProc(control, message, wParam, lParam);
}

HBRUSH Form1::OnCtlColorStatic(HDC dc, HWND label)
{
    const int id = GetDlgCtrlID(label);
    SetBkMode(dc, TRANSPARENT);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    if (id == Label1Id) SetTextColor(dc, DarkGreen);
    else if (id == Label2Id) SetTextColor(dc, LinkColor());
    else SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    return background_.get();
}

// ---------------------------------------------------------------------------
// Handlers of the window

void Form1::Form_Load()
{
    HWND versions = Control(Cmb1Id + 0);
    AddItem(versions, L"自动");
    for (int version = 1; version <= 40; ++version) AddItem(versions, std::to_wstring(version));
    HWND levels = Control(Cmb1Id + 1);
    for (const wchar_t* level : {L"L - 7%", L"M - 15%", L"Q - 25%", L"H - 30%"})
        AddItem(levels, level);
    HWND masks = Control(Cmb1Id + 2);
    AddItem(masks, L"自动");
    for (int mask = 0; mask <= 7; ++mask) AddItem(masks, std::to_wstring(mask));
    HWND encodings = Control(Cmb1Id + 3);
    AddItem(encodings, L"ANSI");
    AddItem(encodings, L"UTF-8");
    // CB_SETCURSEL sends no CBN_SELCHANGE: no handler runs.
    for (const ListItems& items : Lists)
        SendMessageW(Control(items.id), CB_SETCURSEL, static_cast<WPARAM>(items.preset), 0);

    SkinStart(window_); // last: the skin sees every control as it will stay
}

void Form1::Form_Resize(int clientWidth)
{
    // In design units: left 248, top 8, height 54, and 256 less wide than
    // the client area.
    const int width = clientWidth - Scaled(256);
    if (width < 0) return; // the move would fail: Text1 stays as it is
    SetWindowPos(Control(Text1Id), nullptr, Scaled(248), Scaled(8), width, Scaled(54),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form1::Form_DpiChanged(UINT dpi, const RECT& suggested)
{
    if (dpi == 0 || dpi == dpi_) return;
    dpi_ = dpi;
    {
        // The controls let go of the old fonts before they are freed.
        const ScopedFont oldForm = std::move(formFont_), oldLabel1 = std::move(label1Font_),
                         oldUnderlined = std::move(label2Underlined_),
                         oldPlain = std::move(label2Plain_);
        MakeFonts();
        ApplyFonts();
    }
    LayOutControls();
    // The system's suggestion keeps the window where the user sees it.
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{};
    GetClientRect(window_, &client);
    Form_Resize(client.right);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Form1::MakeFonts()
{
    formFont_.reset(MakeTahoma(8.25, FW_NORMAL, false, dpi_));
    label1Font_.reset(MakeTahoma(18, FW_BOLD, false, dpi_));
    label2Underlined_.reset(MakeTahoma(9.75, FW_BOLD, true, dpi_));
    label2Plain_.reset(MakeTahoma(9.75, FW_BOLD, false, dpi_));
}

void Form1::ApplyFonts()
{
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(formFont_.get()), FALSE);
    for (const ControlPlace& place : Places) {
        HFONT font = formFont_.get();
        if (place.id == Label1Id) font = label1Font_.get();
        else if (place.id == Label2Id)
            font = linkUnderlined_ ? label2Underlined_.get() : label2Plain_.get();
        if (HWND control = Control(place.id))
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
}

void Form1::FitListField(HWND list)
{
    // A drop-down list sizes its closed field after its font; the field's
    // item height (index -1) makes it the design's 21 at this DPI. The field
    // grows pixel for pixel with the item height, but what CB_GETITEMHEIGHT
    // answers is not always what CB_SETITEMHEIGHT took (Wine adds 2), so a
    // second step corrects from the height actually reached.
    auto closedHeight = [list] {
        RECT field{};
        GetWindowRect(list, &field);
        return static_cast<int>(field.bottom - field.top);
    };
    if (!list) return;
    const int wanted = Scaled(ListFieldHeight);
    int missing = wanted - closedHeight();
    if (missing == 0) return;
    LRESULT itemHeight = SendMessageW(list, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    for (int step = 0; step < 2 && missing != 0 && itemHeight != CB_ERR; ++step) {
        itemHeight += missing;
        if (itemHeight <= 0) return;
        SendMessageW(list, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), itemHeight);
        missing = wanted - closedHeight();
    }
}

void Form1::LayOutControls()
{
    // Text1 follows Form_Resize's rule instead of its design place.
    for (const ControlPlace& place : Places) {
        if (place.id == Text1Id || place.id == Pic2Id) continue;
        SetWindowPos(Control(place.id), nullptr, Scaled(place.left), Scaled(place.top),
                     Scaled(place.width), Scaled(place.height), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (int index = 0; index < 4; ++index) FitListField(Control(Cmb1Id + index));
    // Pic2 gets a backing bitmap of its new size, and the symbol is drawn
    // into it again from Image1, with sharp module edges at the new scale.
    const ControlPlace& pic2 = PlaceOf(Pic2Id);
    pic2_.Place(Scaled(pic2.left), Scaled(pic2.top), Scaled(pic2.width), Scaled(pic2.height));
    if (image1_) ShowSymbolInPic2();
}

void Form1::Form_Activate(bool active)
{
    // A top-level window that is not a dialog box forgets its focused control
    // when a message box takes the activation; give the focus back.
    if (!active) {
        HWND focus = GetFocus();
        if (focus && IsChild(window_, focus)) lastFocus_ = focus;
    } else if (lastFocus_ && IsWindow(lastFocus_) && IsChild(window_, lastFocus_)) {
        SetFocus(lastFocus_);
    }
}

void Form1::Form_MouseMove() { SetLinkLook(true, linkBlue_); }

void Form1::Form_Unload() { SkinStop(window_); }

void Form1::Text1_GotFocus() { SelectAllText(Control(Text1Id)); }

void Form1::Text1_DblClick() { SetWindowTextW(Control(Text1Id), L""); }

void Form1::Label2_MouseMove() { SetLinkLook(false, true); }

void Form1::SetLinkLook(bool underlined, bool blue)
{
    if (underlined == linkUnderlined_ && blue == linkBlue_) return; // no flicker on every move
    linkUnderlined_ = underlined;
    linkBlue_ = blue;
    HWND label = Control(Label2Id);
    SendMessageW(
        label, WM_SETFONT,
        reinterpret_cast<WPARAM>(underlined ? label2Underlined_.get() : label2Plain_.get()), TRUE);
    InvalidateRect(label, nullptr, TRUE);
}

// ---------------------------------------------------------------------------
// Commands

void Form1::Command1_Click()
{
    // 1. Every list must have a selection.
    for (const ListItems& items : Lists)
        if (SelectedIndex(Control(items.id)) < 0) return;

    // 2. The content in the chosen encoding.
    const bool utf8 = SelectedIndex(Control(Cmb1Id + 3)) == 1;
    const std::wstring text = WindowText(Control(Text1Id));
    const TextBytes bytes = utf8 ? Utf8Bytes(text) : AnsiBytes(text);
    if (bytes.status == TextBytes::Status::InvalidUtf16) {
        ForgetSymbol();
        Warn(L"内容中有无效的字符（不成对的代理项），无法转换为所选编码，请删除后再创建！");
        return;
    }
    if (bytes.status == TextBytes::Status::Unmappable) {
        ForgetSymbol();
        Warn(L"内容中有所选 ANSI 编码（代码页 " + std::to_wstring(GetACP()) +
             L"）无法表示的字符，请选择 UTF-8 编码后再创建！");
        return;
    }

    // 3. and 4. Encode; Kanji mode only for Shift JIS bytes.
    if (!coder_) coder_ = std::make_unique<clsQRCode>();
    coder_->SetKanjiAllowed(!utf8 && GetACP() == 932);
    const int version = SelectedIndex(Control(Cmb1Id + 0));
    const int level = SelectedIndex(Control(Cmb1Id + 1)) + 1;
    const int mask = SelectedIndex(Control(Cmb1Id + 2)) - 1;
    symbol_ = coder_->EncodeMatrix(bytes.bytes.data(), bytes.count, version, level, mask);
    image1_ = symbol_ ? services_.makePicture(*symbol_) : ScopedComPtr<IPictureDisp>();
    if (!image1_) {
        ForgetSymbol();
        WarnNoPicture(bytes.bytes.data(), bytes.count, version, level);
        return;
    }

    // 5. to 7. Show it enlarged in Pic2.
    ShowSymbolInPic2();
}

void Form1::WarnNoPicture(const std::uint8_t* data, int count, int version, int level)
{
    // Too long only when the data really fit no symbol (measured, no symbol
    // is built); otherwise the system could not draw it, and another version
    // or level would not help.
    if (coder_->FittingVersion(data, count, version, level) == 0)
        Warn(TooLongMessage(*coder_, data, count, version, level));
    else Warn(L"内容可以编码，但无法生成二维码图片，请稍后再试！");
}

void Form1::ShowSymbolInPic2()
{
    HBITMAP symbol = PictureBitmap(image1_.get());
    SendMessageW(Control(Image1Id), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(symbol));
    if (pic2_.DrawStretched(symbol)) pic2_.TakePicture();
}

void Form1::ForgetSymbol()
{
    image1_.reset();
    symbol_.reset();
    SendMessageW(Control(Image1Id), STM_SETIMAGE, IMAGE_BITMAP, 0);
    pic2_.Clear();
}

void Form1::Command2_Click()
{
    // 1. and 2. Redraw the symbol; without one there is nothing to save.
    if (!image1_) {
        Warn(NothingToSave);
        return;
    }
    ShowSymbolInPic2();

    // 3. to 5. The picture as PNG, under a new name in the save folder.
    const std::vector<std::uint8_t> png =
        EncodePng(pic2_.Pixels(), pic2_.Width(), pic2_.Height(), pic2_.Width() * 4);
    if (png.empty()) {
        Warn(L"无法生成 PNG 图片，二维码图片没有保存！");
        return;
    }
    SaveNewFile(png, L".png");
}

// The folder beside the program that every save writes into, and which
// no save creates.
std::wstring Form1::SaveFolder() const
{
    std::wstring folder = services_.programFolder();
    if (folder.empty() || (folder.back() != L'\\' && folder.back() != L'/')) folder += L'\\';
    return folder + SaveFolderName;
}

// Writes bytes into the save folder, named after the time of day with the
// ending, under a name that no file has yet; tells the user how it went.
void Form1::SaveNewFile(const std::vector<std::uint8_t>& bytes, const wchar_t* ending)
{
    const std::wstring folder = SaveFolder();
    const SaveResult saved =
        WriteNewFile(folder, TimeOfDayName(services_.localTime()), ending, bytes);
    if (saved.error != ERROR_SUCCESS) {
        Warn(L"无法保存二维码图片到文件夹“" + folder + L"”：" + SystemErrorText(saved.error) +
             L"。");
        return;
    }
    Inform(L"你已成功保存二维码图片！");
}

void Form1::mnuSavePrintPng_Click()
{
    if (!symbol_) {
        Warn(NothingToSave);
        return;
    }
    const std::vector<std::uint8_t> png = EncodePrintPng(*symbol_);
    if (png.empty()) {
        Warn(L"无法生成 PNG 图片，二维码图片没有保存！");
        return;
    }
    SaveNewFile(png, L".png");
}

void Form1::mnuSaveSvg_Click()
{
    if (!symbol_) {
        Warn(NothingToSave);
        return;
    }
    const std::string svg = SymbolToSvg(*symbol_);
    SaveNewFile(std::vector<std::uint8_t>(svg.begin(), svg.end()), L".svg");
}

// The menu of the symbol, at the pointer for a right click, over the box for
// Shift+F10 and the Menu key (which give the position -1, -1). The chosen
// item comes back as WM_COMMAND; the saves are grey while there is no symbol.
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
    const UINT saves = symbol_ ? MF_ENABLED : MF_GRAYED;
    AppendMenuW(menu.get(), MF_STRING, mnuCopyId, L"复制");
    AppendMenuW(menu.get(), MF_STRING | saves, mnuSavePrintPngId, L"保存高清 PNG");
    AppendMenuW(menu.get(), MF_STRING | saves, mnuSaveSvgId, L"保存 SVG 矢量图");
    TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0,
                   window_, nullptr);
}

void Form1::Pic2_Click()
{
    if (!pic2_.HasPicture()) {
        Warn(L"你还没有“创建”二维码图片，请先创建后再进行复制！");
        return;
    }
    // The bitmap first: what the user had on the clipboard is emptied only
    // when there is something to put in its place.
    ScopedBitmap bitmap(pic2_.CopyBitmap());
    if (!bitmap) {
        Warn(L"无法生成二维码图片，二维码图片没有复制，请稍后再试！");
        return;
    }
    bool copied = false;
    {
        std::optional<ScopedClipboard> clipboard;
        OpenClipboardPatiently(clipboard, window_);
        // On success the clipboard owns the bitmap.
        if (clipboard->IsOpen() && EmptyClipboard() && SetClipboardData(CF_BITMAP, bitmap.get())) {
            (void)bitmap.release();
            copied = true;
        }
    } // closed before the box: other programs may read it meanwhile
    if (!copied) {
        Warn(L"无法打开剪贴板，二维码图片没有复制，请稍后再试！");
        return;
    }
    Inform(L"你已成功复制到剪贴板!");
}

void Form1::Label2_Click()
{
    const std::wstring program = SystemProgramPath(L"rundll32.exe");
    if (program.empty()) return; // never a rundll32.exe found elsewhere
    services_.startProgram(program + L" url.dll,FileProtocolHandler \"" + WebSite + L"/\"");
}

void Form1::Warn(const std::wstring& text)
{
    MessageBoxW(window_, text.c_str(), WarningTitle, MB_OK | MB_ICONWARNING);
}

void Form1::Inform(const std::wstring& text)
{
    MessageBoxW(window_, text.c_str(), InformationTitle, MB_OK | MB_ICONINFORMATION);
}
