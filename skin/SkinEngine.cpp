#include "SkinEngine.h"

#include "CallbackBarrier.h"
#include "SkinBitmaps.h"
#include "SkinKindHandlers.h"
#include "SkinPrimitives.h"
#include "SkinProps.h"
#include "SkinTypes.h"
#include "SkinWindowTable.h"

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

namespace {

// The kind's set-up, then the subclassing. False when Windows refuses; the
// caller then undoes the set-up.
bool SetUpAndSubclass(HWND hwnd, SkinWindow& record, const SkinKindHandlers& kind)
{
    // 1. A container brings its descendants (those JoinsContainer admits);
    //    every kind sets up its properties.
    if (kind.attachesChildren)
        EnumChildWindows(hwnd, AttachEnumProc, reinterpret_cast<LPARAM>(hwnd));
    if (kind.attach) kind.attach(hwnd);
    // 2. Subclass. Wide functions keep a Unicode window Unicode; the ANSI
    //    ones would make Windows pass its text through the ANSI code page.
    const auto previous =
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SkinWindowProc));
    if (previous == 0) return false;
    // 3. The record keeps the previous procedure; "PROCADDR" only mirrors it
    //    for whoever looks. A window that cannot carry the mirror is not
    //    attached, so that the property never says otherwise.
    if (!SetSkinProp(hwnd, SkinProp::ProcAddr, previous)) {
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, previous);
        return false;
    }
    record.previous = reinterpret_cast<WNDPROC>(previous);
    return true;
}

// Undoes a set-up that did not end in a subclassed window.
void UndoSetUp(HWND hwnd, const SkinKindHandlers& kind)
{
    if (kind.detach) kind.detach(hwnd);
    if (kind.attachesChildren) EnumChildWindows(hwnd, DetachEnumProc, 0);
    SkinWindows().Remove(hwnd);
}

} // namespace

int SkinAttach(HWND hwnd)
{
    // 1. Only a live window of this thread that is not attached yet.
    if (!hwnd || !IsWindow(hwnd) || SkinWindows().Find(hwnd) || !OwnedByThisThread(hwnd)) return 0;
    // 2. The engine's record: its one allocation, made before anything changes.
    SkinWindow& record = SkinWindows().Add(hwnd);
    const SkinKindHandlers& kind = KindHandlers(ClassKind(hwnd));
    // 3. Set-up and subclassing, all or nothing.
    bool attached = false;
    try {
        attached = SetUpAndSubclass(hwnd, record, kind);
    } catch (...) {
        UndoSetUp(hwnd, kind);
        throw;
    }
    if (!attached) {
        UndoSetUp(hwnd, kind);
        return 0;
    }
    ++attachCount;
    // 4. Show the skin.
    Repaint(hwnd);
    return 1;
}

namespace {

int Detach(HWND hwnd, bool repaint)
{
    // 1. Only an attached window; its previous procedure from the record.
    if (!SkinWindows().IsAttached(hwnd)) return 0;
    const WNDPROC previous = SkinWindows().Find(hwnd)->previous;
    // 2. Descendants of a container first, then the kind's own state.
    const SkinKindHandlers& kind = KindHandlers(ClassKind(hwnd));
    if (kind.attachesChildren) EnumChildWindows(hwnd, DetachEnumProc, 0);
    if (kind.detach) kind.detach(hwnd);
    // 3. The previous procedure back, and the record and its mirror gone.
    RemoveSkinProp(hwnd, SkinProp::ProcAddr);
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    SkinWindows().Remove(hwnd);
    if (repaint) Repaint(hwnd);
    // 4. The last window takes the strips with it.
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

namespace {

// Whether a descendant that a container's enumeration lists gets the skin.
// Its parent must be the container or a window attached already, and a
// window of a kind the skin does not know may join only while it has no
// windows of its own: such a window is then a plain control (an edit, a
// static, a picture box), while one that holds others is a composite of
// another module, such as the Explorer panes inside the system's Save dialog
// (DirectUIHWND, SHELLDLL_DefView, ExplorerBrowserControl, ...). Those are
// that module's private windows: subclassing them or drawing frames over
// them would change what their own code relies on, so they and everything
// below them keep their own look. EnumChildWindows lists a parent before its
// children, so a window left alone here leaves its whole subtree alone.
bool JoinsContainer(HWND child, HWND container)
{
    const HWND parent = GetAncestor(child, GA_PARENT);
    if (parent != container && !SkinWindows().IsAttached(parent)) return false;
    return ClassKind(child) != SkinKind::Other || !GetWindow(child, GW_CHILD);
}

} // namespace

BOOL CALLBACK AttachEnumProc(HWND child, LPARAM container) noexcept
{
    return EnumProcBarrier([&] {
        if (JoinsContainer(child, reinterpret_cast<HWND>(container))) SkinAttach(child);
        return TRUE;
    });
}

BOOL CALLBACK DetachEnumProc(HWND child, LPARAM) noexcept
{
    return EnumProcBarrier([&] {
        SkinDetach(child);
        return TRUE;
    });
}

bool SkinInitialised() { return initialised; }
int SkinAttachCount() { return attachCount; }
bool HasUserTrackMouseEvent() { return hasUserTrackMouseEvent; }
