#include "SkinEngine.h"

#include "SkinBitmaps.h"
#include "SkinKindHandlers.h"
#include "SkinPrimitives.h"
#include "SkinProps.h"
#include "SkinTypes.h"

namespace {

// Module-wide state; UI thread only.
bool initialised = false; // set at the first SkinStart, cleared at the last detach
bool hasUserTrackMouseEvent = false;
int attachCount = 0; // every subclassed window, containers included

// Only windows of this thread are subclassed: a window of another thread or
// process named by WM_ACTIVATE or WM_ENTERIDLE is left alone (subclassing it
// would install a procedure address that means nothing in its process).
bool OwnedByThisThread(HWND hwnd)
{
    return GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId();
}

// Frame first, then the client area, so the new look (or the old one after
// detaching) shows at once.
void Repaint(HWND hwnd)
{
    SendMessageW(hwnd, WM_NCPAINT, 1, 0);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_INTERNALPAINT);
}

} // namespace

int SkinStart(HWND hwnd)
{
    if (!initialised) {
        initialised = true;
        hasUserTrackMouseEvent = ApiExists("TrackMouseEvent", "User32");
        UseUserTrackMouseEvent(hasUserTrackMouseEvent);
        PaintSkinBitmaps();
    }
    return SkinAttach(hwnd);
}

int SkinStop(HWND hwnd) { return SkinDetach(hwnd); }

int SkinAttach(HWND hwnd)
{
    // 1. Only a live window of this thread that is not attached yet.
    if (!hwnd || !IsWindow(hwnd) || HasSkinProp(hwnd, SkinProp::ProcAddr)) return 0;
    if (!OwnedByThisThread(hwnd)) return 0;
    // 2-4. A container brings all its descendants; every kind sets up its
    // properties.
    const SkinKindHandlers& kind = KindHandlers(ClassKind(hwnd));
    if (kind.attachesChildren) EnumChildWindows(hwnd, AttachEnumProc, 0);
    if (kind.attach) kind.attach(hwnd);
    // 5. Subclass. Wide functions keep a Unicode window Unicode; the ANSI
    // ones would make Windows pass its text through the ANSI code page.
    const auto previous =
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SkinWindowProc));
    if (previous == 0) {
        if (kind.detach) kind.detach(hwnd);
        return 0;
    }
    // Without "PROCADDR" the skin's procedure could not pass anything on, and
    // nothing would ever detach the window: undo it all.
    if (!SetSkinProp(hwnd, SkinProp::ProcAddr, previous)) {
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, previous);
        if (kind.detach) kind.detach(hwnd);
        if (kind.attachesChildren) EnumChildWindows(hwnd, DetachEnumProc, 0);
        return 0;
    }
    ++attachCount;
    // 6. Show the skin.
    Repaint(hwnd);
    return 1;
}

namespace {

int Detach(HWND hwnd, bool repaint)
{
    // 1. Only an attached window.
    if (!hwnd) return 0;
    const std::intptr_t previous = GetSkinProp(hwnd, SkinProp::ProcAddr);
    if (previous == 0) return 0;
    // 2-3. Descendants of a container first, then the kind's own state.
    const SkinKindHandlers& kind = KindHandlers(ClassKind(hwnd));
    if (kind.attachesChildren) EnumChildWindows(hwnd, DetachEnumProc, 0);
    if (kind.detach) kind.detach(hwnd);
    // 4. The previous procedure back.
    RemoveSkinProp(hwnd, SkinProp::ProcAddr);
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, previous);
    if (repaint) Repaint(hwnd);
    // 5. The last window takes the strips with it.
    if (--attachCount <= 0) {
        attachCount = 0;
        ReleaseSkinBitmaps();
        initialised = false;
    }
    return 1;
}

} // namespace

int SkinDetach(HWND hwnd) { return Detach(hwnd, IsWindow(hwnd) != FALSE); }

// Called from SkinWindowProc on WM_DESTROY: the window is going away, so it
// is not repainted.
int SkinDetachDestroyed(HWND hwnd) { return Detach(hwnd, false); }

BOOL CALLBACK AttachEnumProc(HWND child, LPARAM)
{
    SkinAttach(child);
    return TRUE;
}

BOOL CALLBACK DetachEnumProc(HWND child, LPARAM)
{
    SkinDetach(child);
    return TRUE;
}

bool SkinInitialised() { return initialised; }
int SkinAttachCount() { return attachCount; }
bool HasUserTrackMouseEvent() { return hasUserTrackMouseEvent; }
