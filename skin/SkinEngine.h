// The skin engine: subclasses every window of the program and paints the
// standard controls in its own look.
//
// The main window calls SkinStart(its handle) as the last step of loading
// and SkinStop(the same handle) when it unloads; everything else (children,
// message boxes, dropped-down lists, destruction) follows from messages.
// UI thread only.
#pragma once

#include <windows.h>

// First call: paints the strips and picks the leave-tracking entry point.
// Then attaches hwnd (and, for a container, all its descendants). Returns 1
// when hwnd was attached now, 0 when it is null or attached already.
int SkinStart(HWND hwnd);
// Detaches hwnd and its descendants; returns SkinDetach's result.
int SkinStop(HWND hwnd);

// Subclasses one window (a container with its descendants). Returns 1 when
// attached now; 0 for a null handle, a window attached already, or a window
// that another thread or process owns (never subclassed). All or nothing:
// a refusal leaves the window as it was, and so does std::bad_alloc, which
// passes on to the caller.
int SkinAttach(HWND hwnd);
// Undoes SkinAttach for one window (a container with its descendants).
// Returns 1 when detached now, 0 for a null handle or a window not attached.
// The last detach releases the strips.
int SkinDetach(HWND hwnd);

// EnumChildWindows callbacks; all return TRUE (continue), also when the
// child's attach, detach or refresh failed. AttachEnumProc's lParam is the
// container being attached (0: none): a descendant joins only below the
// container or an attached window, and a window of an unknown kind that
// holds windows of its own (another module's composite, e.g. the Save
// dialog's Explorer panes) is left alone with everything below it.
BOOL CALLBACK AttachEnumProc(HWND child, LPARAM container) noexcept;
BOOL CALLBACK DetachEnumProc(HWND child, LPARAM lParam) noexcept;
// Repaints attached check boxes and option buttons in Normal, forced.
BOOL CALLBACK RefreshEnumProc(HWND child, LPARAM lParam) noexcept;

// The window procedure installed on every attached window. It passes on
// messages to the procedure that the engine recorded at attach time. When
// the skin's handling of a message fails (an exception), the message goes
// to that procedure as if the skin had no business with it; a paint leaves
// the control unpainted until it is next invalidated.
LRESULT CALLBACK SkinWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;

// Module state, for the window that wants to know.
bool SkinInitialised();
int SkinAttachCount();
bool HasUserTrackMouseEvent();
