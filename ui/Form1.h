// The main window: type the content, choose version, level, mask and text
// encoding, create the symbol, see it enlarged, save it, copy it, open the
// author's web page.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BaseWindow.h"
#include "FormServices.h"
#include "ModuleMatrix.h"
#include "PictureBox.h"
#include "ScopedWin.h"

class clsQRCode;

class Form1 : public BaseWindow<Form1> {
public:
    // A class name that the skin treats as a container, so that SkinStart on
    // the window reaches every control.
    static constexpr const wchar_t* ClassName = L"ThunderRT6FormDC";
    // The author's web site: scheme and host, no final slash.
    static const std::wstring WebSite;

    // Control ids (GetDlgItem). cmb1 is a control array: Cmb1Id + index 0..3.
    enum ControlId : int {
        Command1Id = 101,
        Command2Id = 102,
        Cmb1Id = 110,
        Text1Id = 120,
        Pic2Id = 130,
        Label1Id = 140,
        Label2Id = 141,
        Image1Id = 150,
    };
    // The items of Pic2's context menu (WM_COMMAND ids).
    enum MenuId : int {
        mnuCopyId = 201,
        mnuSavePrintPngId = 202,
        mnuSaveSvgId = 203,
    };
    static constexpr int ClientWidth = 506;
    static constexpr int ClientHeight = 503;
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
    bool LinkUnderlined() const { return linkUnderlined_; }
    COLORREF LinkColor() const;

private:
    friend class BaseWindow<Form1>;
    static LRESULT CALLBACK ControlSubclassProc(HWND control, UINT message, WPARAM wParam,
                                                LPARAM lParam, UINT_PTR id, DWORD_PTR form);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int code);
    HBRUSH OnCtlColorStatic(HDC dc, HWND label);

    // The window's parts (Form1.cpp, in tab order).
    bool CreateControls();
    void CreateFontsAndBrush();
    bool CreateChildren();
    void SetUpChildren();
    void CreateToolTips();
    // A child at its design place (Form1.cpp) scaled to the window's DPI.
    HWND CreateChild(const wchar_t* windowClass, const wchar_t* text, DWORD style, DWORD exStyle,
                     int id);
    void AddToolTip(HWND control, const wchar_t* text);
    HWND Control(int id) const { return GetDlgItem(window_, id); }

    // Layout at the window's DPI: design values at 96 DPI, scaled.
    static constexpr DWORD Style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    static constexpr DWORD ExStyle = WS_EX_CONTROLPARENT;
    SIZE FrameSize(UINT dpi) const;
    int Scaled(int designValue) const;
    // The fonts at the window's DPI, and every control given its own: the
    // form's, Label1's, or the link's in its present look.
    void MakeFonts();
    void ApplyFonts();
    void FitListField(HWND list);
    void LayOutControls();

    // Event handlers.
    void Form_Load();
    void Form_Resize(int clientWidth);
    // WM_DPICHANGED: fonts, controls and Pic2 at the new DPI, the window in
    // the rectangle the system suggests.
    void Form_DpiChanged(UINT dpi, const RECT& suggested);
    void Form_Activate(bool active);
    void Form_MouseMove();
    void Form_Unload();
    void Text1_GotFocus();
    void Text1_DblClick();
    void Label2_MouseMove();
    void Command1_Click();
    void Command2_Click();
    void Pic2_Click();
    void Pic2_ContextMenu(LPARAM screenPoint);
    void mnuSavePrintPng_Click();
    void mnuSaveSvg_Click();
    void Label2_Click();

    // Steps the commands share.
    void WarnNoPicture(const std::uint8_t* data, int count, int version, int level);
    void ShowSymbolInPic2();
    void ForgetSymbol();
    std::wstring SaveFolder() const;
    void SaveNewFile(const std::vector<std::uint8_t>& bytes, const wchar_t* ending);
    void SetLinkLook(bool underlined, bool blue);
    void Warn(const std::wstring& text);
    void Inform(const std::wstring& text);

    FormServices services_;
    HWND toolTip_ = nullptr;
    HWND lastFocus_ = nullptr;
    UINT dpi_ = 96;
    ScopedFont formFont_;
    ScopedFont label1Font_;
    ScopedFont label2Underlined_;
    ScopedFont label2Plain_;
    ScopedBrush background_;
    PictureBox pic2_;
    // Image1: the encoder's last picture, one pixel per module, or empty.
    ScopedComPtr<IPictureDisp> image1_;
    // The finished matrix Image1 shows, kept and forgotten with it: the
    // print picture and the SVG are made from it, never by encoding again
    // with list selections changed since.
    std::optional<ModuleMatrix> symbol_;
    std::unique_ptr<clsQRCode> coder_; // made by the first Create
    bool linkUnderlined_ = true;
    bool linkBlue_ = false;
};
