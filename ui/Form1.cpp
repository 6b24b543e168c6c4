#include "Form1.h"

#include <commctrl.h>

#include <array>
#include <optional>

#include "OlePicture.h"
#include "SkinEngine.h"
#include "clsQRCode.h"
#include "mdlFitAdvice.h"
#include "mdlPictureFile.h"
#include "mdlTextBytes.h"

const std::wstring Form1::WebSite = L"http://www.olvane.example";

namespace {

constexpr wchar_t WarningTitle[] = L"系统提示";
constexpr wchar_t InformationTitle[] = L"Olvane提示";
constexpr wchar_t SaveFolderName[] = L"二维码图片";
constexpr COLORREF DarkGreen = RGB(0, 64, 0);
constexpr COLORREF LinkBlue = RGB(0, 0, 255);
// Clipboard managers and other programs hold the clipboard open for moments
// at a time: Copy tries for about a second before it gives up.
constexpr int ClipboardTries = 10;
constexpr DWORD ClipboardPauseMs = 100;

// Point sizes at 96 dots per inch, the design resolution of every position.
int FontHeight(double points) { return -static_cast<int>(points * 96.0 / 72.0 + 0.5); }

HFONT MakeTahoma(double points, int weight, bool underline)
{
    return CreateFontW(FontHeight(points), 0, 0, 0, weight, FALSE, underline, FALSE,
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

    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_CONTROLPARENT;
    RECT frame{0, 0, ClientWidth, ClientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    if (!CreateWindowExW(exStyle, ClassName, L"Vemora", style, CW_USEDEFAULT, CW_USEDEFAULT,
                         frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                         instance, this))
        return false;
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    SetFocus(Control(Command1Id));
    return true;
}

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
                        int left, int top, int width, int height, int id)
{
    HWND child = CreateWindowExW(
        exStyle, windowClass, text, WS_CHILD | WS_VISIBLE | style, left, top, width, height,
        window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE)), nullptr);
    if (child) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(formFont_.get()), FALSE);
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
    formFont_.reset(MakeTahoma(8.25, FW_NORMAL, false));
    label1Font_.reset(MakeTahoma(18, FW_BOLD, false));
    label2Underlined_.reset(MakeTahoma(9.75, FW_BOLD, true));
    label2Plain_.reset(MakeTahoma(9.75, FW_BOLD, false));
    background_.reset(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(formFont_.get()), FALSE);
}

bool Form1::CreateChildren()
{
    // Created in tab order: the z-order of the children is the order in
    // which IsDialogMessage moves the focus. A drop-down list's height is
    // that of its open list; its closed field comes out 21 high.
    const DWORD list = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
    const std::wstring startText = L"Olvane软件：" + WebSite + L"\r\n";
    return CreateChild(L"Button", L"创建", WS_TABSTOP | BS_PUSHBUTTON, 0, 8, 8, 73, 25,
                       Command1Id) &&
           CreateChild(L"ComboBox", L"", list, 0, 88, 8, 73, 300, Cmb1Id + 0) &&
           CreateChild(L"ComboBox", L"", list, 0, 168, 8, 73, 200, Cmb1Id + 1) &&
           CreateChild(L"ComboBox", L"", list, 0, 88, 40, 73, 200, Cmb1Id + 2) &&
           CreateChild(L"Edit", startText.c_str(),
                       WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                       WS_EX_CLIENTEDGE, 248, 8, 249, 51, Text1Id) &&
           CreateChild(L"ComboBox", L"", list, 0, 168, 40, 73, 200, Cmb1Id + 3) &&
           CreateChild(L"Button", L"保存", WS_TABSTOP | BS_PUSHBUTTON, 0, 8, 36, 73, 25,
                       Command2Id) &&
           pic2_.Create(window_, Pic2Id, 96, 88, 329, 329, WS_TABSTOP) &&
           CreateChild(L"Static", L"Olvane", SS_CENTER | SS_NOTIFY, 0, 0, 448, 505, 33, Label1Id) &&
           CreateChild(L"Static", WebSite.c_str(), SS_CENTER | SS_NOTIFY, 0, 0, 480, 505, 17,
                       Label2Id) &&
           CreateChild(L"Static", L"", SS_BITMAP, 0, 136, 560, 113, 97, Image1Id);
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
    SendMessageW(Control(Label1Id), WM_SETFONT, reinterpret_cast<WPARAM>(label1Font_.get()), FALSE);
    SendMessageW(Control(Label2Id), WM_SETFONT, reinterpret_cast<WPARAM>(label2Underlined_.get()),
                 FALSE);
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
        if (!CreateControls()) return -1;
        Form_Load();
        return 0;
    case WM_SIZE:
        Form_Resize(LOWORD(lParam));
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
    else if (id == Text1Id && code == EN_SETFOCUS) Text1_GotFocus();
}

LRESULT CALLBACK Form1::ControlSubclassProc(HWND control, UINT message, WPARAM wParam,
                                            LPARAM lParam, UINT_PTR id, DWORD_PTR form)
{
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(control, ControlSubclassProc, id);
        return DefSubclassProc(control, message, wParam, lParam);
    }
    return reinterpret_cast<Form1*>(form)->OnControlMessage(control, message, wParam, lParam);
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
    const int width = clientWidth - 256;
    if (width < 0) return; // the move would fail: Text1 stays as it is
    SetWindowPos(Control(Text1Id), nullptr, 248, 8, width, 54, SWP_NOZORDER | SWP_NOACTIVATE);
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

void Form1::Text1_GotFocus()
{
    HWND text = Control(Text1Id);
    SendMessageW(text, EM_SETSEL, 0, GetWindowTextLengthW(text));
}

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
    image1_.reset(
        services_.makePicture(*coder_, bytes.bytes.data(), bytes.count, version, level, mask));
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
    SendMessageW(Control(Image1Id), STM_SETIMAGE, IMAGE_BITMAP, 0);
    pic2_.Clear();
}

void Form1::Command2_Click()
{
    // 1. and 2. Redraw the symbol; without one there is nothing to save.
    if (!image1_) {
        Warn(L"你还没有“创建”二维码图片，请先创建后再按保存！");
        return;
    }
    ShowSymbolInPic2();

    // 3. The picture as PNG, named after the time of day, in the folder
    //    beside the program (which Save never creates).
    const std::vector<std::uint8_t> png =
        EncodePng(pic2_.Pixels(), pic2_.Width(), pic2_.Height(), pic2_.Width() * 4);
    if (png.empty()) {
        Warn(L"无法生成 PNG 图片，二维码图片没有保存！");
        return;
    }
    std::wstring folder = services_.programFolder();
    if (folder.empty() || (folder.back() != L'\\' && folder.back() != L'/')) folder += L'\\';
    folder += SaveFolderName;

    // 4. and 5. Write it under a name that no file has yet.
    const SaveResult saved = WriteNewPngFile(folder, TimeOfDayName(services_.localTime()), png);
    if (saved.error != ERROR_SUCCESS) {
        Warn(L"无法保存二维码图片到文件夹“" + folder + L"”：" + SystemErrorText(saved.error) +
             L"。");
        return;
    }
    Inform(L"你已成功保存二维码图片！");
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
