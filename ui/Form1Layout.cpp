// Form1's layout at the DPI of its monitor: the design places of FormLayout
// scaled, the fonts made again, the lists' closed fields fitted, and Text1
// following the window's width.
#include "Form1.h"

#include "DpiMetrics.h"

using FormLayout::Cmb1;

SIZE Form1::FrameSize(UINT dpi) const
{
    const int scaledDpi = static_cast<int>(dpi);
    RECT frame{0, 0, FormLayout::Scaled(ClientWidth, scaledDpi),
               FormLayout::Scaled(ClientHeight, scaledDpi)};
    AdjustWindowRectForDpi(frame, Style, ExStyle, dpi);
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

void Form1::Form_Resize(int clientWidth)
{
    // Too narrow for any width: Text1 stays as it is.
    if (const auto text1 = FormLayout::Text1Resized(clientWidth, int(dpi_)))
        SetWindowPos(Control(Text1Id), nullptr, text1->left, text1->top, text1->width,
                     text1->height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Any program on the desktop can send WM_DPICHANGED: only a change the
// system reports for this window is followed, so that the controls are never
// laid out for one DPI inside a frame of another.
void Form1::Form_DpiChanged(UINT dpi, const RECT* suggested)
{
    if (!suggested || dpi == 0 || dpi == dpi_ || dpi != services_.windowDpi(window_)) return;
    const RECT frame = DpiChangedFrame(suggested);
    dpi_ = dpi;
    {
        // The controls let go of the old fonts before they are freed.
        const FormFonts old = std::exchange(fonts_, MakeFormFonts(dpi_));
        link_.SetDpi(dpi_);
        ApplyFonts();
    }
    LayOutControls();
    SetWindowPos(window_, nullptr, frame.left, frame.top, frame.right - frame.left,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{};
    GetClientRect(window_, &client);
    Form_Resize(client.right);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// Where the window goes at the new DPI (dpi_ still the old one). The
// system's suggestion keeps the window where the user sees it; the system
// sends it from this thread. Sent from another thread, or another process,
// the pointer is not ours to read (in another process it is an address of
// that process), and so is an empty rectangle: the frame of the new DPI's
// size then stays at the window's top left corner.
RECT Form1::DpiChangedFrame(const RECT* suggested) const
{
    if (!InSendMessage() && !IsRectEmpty(suggested)) return *suggested;
    RECT window{};
    GetWindowRect(window_, &window);
    const SIZE size = FrameSize(services_.windowDpi(window_));
    return RECT{window.left, window.top, window.left + size.cx, window.top + size.cy};
}

void Form1::ApplyFonts()
{
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.form.get()), FALSE);
    for (const FormControlId id : FormLayout::Controls()) {
        const HFONT font = id == Label1Id   ? fonts_.label1.get()
                           : id == Label2Id ? link_.Font()
                                            : fonts_.form.get();
        if (HWND control = Control(id))
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
}

void Form1::FitListField(HWND list)
{
    // A drop-down list sizes its closed field after its font; the field's
    // item height (index -1) makes it the design's height at this DPI. The
    // field grows pixel for pixel with the item height, but what
    // CB_GETITEMHEIGHT answers is not always what CB_SETITEMHEIGHT took (Wine
    // adds 2), so a second step corrects from the height actually reached.
    auto closedHeight = [list] {
        RECT field{};
        GetWindowRect(list, &field);
        return static_cast<int>(field.bottom - field.top);
    };
    if (!list) return;
    const int wanted = Scaled(FormLayout::ListFieldHeight);
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
    // Every control at its place; Pic2 gets a backing bitmap of its new size,
    // and the symbol is drawn into it again from Image1, with sharp module
    // edges at the new scale. Text1 follows Form_Resize's rule afterwards.
    for (const FormControlId id : FormLayout::Controls()) {
        const ControlRect place = FormLayout::PlaceAt(id, int(dpi_));
        if (id == Pic2Id) pic2_.Place(place.left, place.top, place.width, place.height);
        else SetWindowPos(Control(id), nullptr, place.left, place.top, place.width, place.height,
                          SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (int index = 0; index < FormLayout::ListCount; ++index) FitListField(Control(Cmb1(index)));
    if (image1_) ShowSymbolInPic2();
}

