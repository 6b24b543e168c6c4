// The main window: type the content, choose version, level, mask and text
// encoding, create the symbol, see it enlarged, save it, copy it, open the
// author's web page. The window keeps creation and message routing; its
// layout (FormLayout), texts (FormTexts), outputs (SymbolOutputs) and link
// label (LinkLabel) are units of their own.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <memory>
#include <optional>
#include <string>

#include "BaseWindow.h"
#include "FormFonts.h"
#include "FormLayout.h"
#include "FormServices.h"
#include "LinkLabel.h"
#include "ModuleMatrix.h"
#include "PictureBox.h"
#include "ScopedWin.h"
#include "SymbolOutputs.h"

class clsQRCode;

class Form1 : public BaseWindow<Form1> {
public:
    // A class name that the skin treats as a container, so that SkinStart on
    // the window reaches every control.
    static constexpr const wchar_t* ClassName = L"ThunderRT6FormDC";
    // The author's web site: scheme and host, no final slash.
    static const std::wstring WebSite;

    // Control ids (GetDlgItem): Command1Id ... Image1Id, cmb1 as Cmb1Id + 0..3.
    using ControlId = FormControlId;
    using enum FormControlId;
    // The items of Pic2's context menu (WM_COMMAND ids): Copy, then one save
    // item per row of SymbolOutputs::MenuKinds, numbered on from the first,
    // then Save As and the picture folder.
    enum MenuId : int {
        mnuCopyId = 201,
        mnuSavePrintPngId = 202,
        mnuSaveSvgId = 203,
        mnuSaveAsId = 210,
        mnuOpenFolderId = 211,
    };
    static constexpr int ClientWidth = FormLayout::ClientWidth;
    static constexpr int ClientHeight = FormLayout::ClientHeight;
    static constexpr int IconResourceId = 1;
    // Characters the user can type or paste into Text1.
    static constexpr int Text1MaxLength = 32767;

    explicit Form1(FormServices services);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;
    ~Form1();

    // Registers the classes, creates the window (running Form_Load), shows it
    // with showCommand and puts the focus on Command1. False when the window
    // could not be made.
    bool Create(HINSTANCE instance, int showCommand);
    // The DPI the window is laid out at (96 is the design's).
    UINT Dpi() const { return dpi_; }

    // The keyboard interface (Tab between the controls): every message loop
    // that serves the window passes its messages here first and skips those
    // for which it answers true.
    bool PreTranslateMessage(MSG& message);
    // The program's message loop; returns WM_QUIT's code.
    int RunMessageLoop();

    // The look of the link label, for whoever draws or checks it.
    bool LinkUnderlined() const { return link_.Underlined(); }
    COLORREF LinkColor() const { return link_.TextColor(); }

private:
    friend class BaseWindow<Form1>;
    // Routing by data: a command (id, notification code) to its handler, and
    // a subclassed control to the handler of its own messages.
    // A command that throws ends with failed (none: it ends silently).
    struct CommandRoute {
        int id;
        int code;
        void (Form1::*handler)();
        void (Form1::*failed)();
    };
    struct ControlRoute {
        int id;
        LRESULT (Form1::*handler)(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
    };
    static const CommandRoute CommandRoutes[];
    static const ControlRoute ControlRoutes[];
    static LRESULT CALLBACK ControlSubclassProc(HWND control, UINT message, WPARAM wParam,
                                                LPARAM lParam, UINT_PTR route,
                                                DWORD_PTR form) noexcept;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int code);
    HBRUSH OnCtlColorStatic(HDC dc, HWND label);

    // The window's parts, in tab order.
    static bool RegisterWindowClass(HINSTANCE instance);
    bool CreateControls();
    bool CreateChildren();
    void SetUpChildren();
    void CreateToolTips();
    HWND CreateChild(const wchar_t* windowClass, const wchar_t* text, DWORD style, DWORD exStyle,
                     FormControlId id);
    void AddToolTip(HWND control, const wchar_t* text);
    HWND Control(int id) const { return GetDlgItem(window_, id); }

    // Layout at the window's DPI: design values at 96 DPI, scaled.
    static constexpr DWORD Style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    static constexpr DWORD ExStyle = WS_EX_CONTROLPARENT;
    SIZE FrameSize(UINT dpi) const;
    int Scaled(int designValue) const { return FormLayout::Scaled(designValue, int(dpi_)); }
    void ApplyFonts();
    void FitListField(HWND list);
    void LayOutControls();

    // Event handlers.
    void Form_Load();
    void Form_Resize(int clientWidth);
    // WM_DPICHANGED: fonts, controls and Pic2 at the new DPI, the window in
    // the rectangle the system suggests. Ignored unless dpi is the one the
    // system reports for the window and suggested is given.
    void Form_DpiChanged(UINT dpi, const RECT* suggested);
    RECT DpiChangedFrame(const RECT* suggested) const;
    void Form_Activate(bool active);
    void Form_MouseMove() { link_.PointerAway(); }
    void Form_Unload();
    void Text1_GotFocus();
    void Text1_DblClick();
    LRESULT Text1_Message(HWND text1, UINT message, WPARAM wParam, LPARAM lParam);
    void Label2_MouseMove() { link_.PointerOver(); }
    LRESULT Label2_Message(HWND label2, UINT message, WPARAM wParam, LPARAM lParam);
    void Command1_Click();
    void Command2_Click();
    void Pic2_Click();
    void Pic2_ContextMenu(LPARAM screenPoint);
    void mnuSave_Click(const OutputKind& kind);
    void mnuSaveAs_Click();
    void mnuOpenFolder_Click();
    void Label2_Click();

    // Steps the commands share.
    std::wstring ContentText() const;
    void WarnNoPicture(const std::uint8_t* data, int count, int version, int level);
    // name: Pic2's accessible name while it shows symbol.
    void TakeSymbol(ModuleMatrix&& symbol, ScopedComPtr<IPictureDisp>&& picture,
                    const wchar_t* name);
    bool ShowSymbolInPic2();
    void ForgetSymbol();
    // How a command ends when it throws: as when its picture or file cannot
    // be made, the window running on.
    void Create_Failed();
    void Save_Failed();
    void Copy_Failed();
    const ModuleMatrix* SymbolOnShow() const { return symbol_ ? &*symbol_ : nullptr; }

    FormServices services_;
    SymbolOutputs outputs_{services_};
    HWND toolTip_ = nullptr;
    HWND lastFocus_ = nullptr;
    UINT dpi_ = 96;
    FormFonts fonts_;
    LinkLabel link_;
    PictureBox pic2_;
    // Image1: the encoder's last picture, one pixel per module, or empty.
    ScopedComPtr<IPictureDisp> image1_;
    // The finished matrix Image1 shows, kept and forgotten with it: the
    // print picture and the SVG are made from it, never by encoding again
    // with list selections changed since.
    std::optional<ModuleMatrix> symbol_;
    std::unique_ptr<clsQRCode> coder_; // made by the first Create
};
