// Lifecycle of the skin engine: start and stop, attaching by enumeration
// and by message, detaching on destruction, the strips' life, and the
// windows it must never subclass.
#include "SkinEngine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "SkinBitmaps.h"
#include "SkinProps.h"
#include "SkinTestSupport.h"

namespace {

using skintest::CreateChild;
using skintest::CreateTopWindow;
using skintest::PropValue;

WNDPROC ProcOf(HWND hwnd)
{
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
}

bool Attached(HWND hwnd)
{
    return PropValue(hwnd, "PROCADDR") != 0 && ProcOf(hwnd) == &SkinWindowProc;
}

// A form with a button, an edit and a nested container holding a button.
struct Form {
    HWND top, button, edit, inner, innerButton;
};

Form MakeForm(const wchar_t* className = L"ThunderRT6FormDC")
{
    Form f{};
    f.top = CreateTopWindow(className);
    f.button = CreateChild(f.top, L"Button", L"OK", BS_PUSHBUTTON, 10, 10, 80, 24);
    f.edit = CreateChild(f.top, L"Edit", L"text", WS_BORDER, 10, 40, 120, 22);
    skintest::EnsureClass(L"form");
    f.inner = CreateChild(f.top, L"form", L"", 0, 10, 80, 200, 100);
    f.innerButton = CreateChild(f.inner, L"Button", L"Inner", BS_PUSHBUTTON, 5, 5, 80, 24);
    return f;
}

// ForeignWindowHost.exe, beside this program, started with arguments.
bool StartForeignHost(const std::wstring& arguments, PROCESS_INFORMATION& process)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring host(self);
    host = host.substr(0, host.find_last_of(L"\\/") + 1) + L"ForeignWindowHost.exe";
    std::wstring commandLine = L"\"" + host + L"\" " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    return CreateProcessW(host.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &si, &process) != FALSE;
}

class SkinEngine : public ::testing::Test {
protected:
    void TearDown() override
    {
        // Leave the engine idle for the next test in the same process: the
        // forms, and popups attached by message, which are no form's children.
        for (HWND hwnd : started_) SkinStop(hwnd);
        EnumThreadWindows(
            GetCurrentThreadId(), [](HWND hwnd, LPARAM) -> BOOL { return SkinStop(hwnd), TRUE; },
            0);
    }
    int Start(HWND hwnd)
    {
        started_.push_back(hwnd);
        return SkinStart(hwnd);
    }
    std::vector<HWND> started_;
};

TEST_F(SkinEngine, StartTwiceAttachesOnceAndPaintsStripsOnce)
{
    const Form f = MakeForm();
    const WNDPROC buttonProc = ProcOf(f.button);
    EXPECT_EQ(Start(f.top), 1);
    EXPECT_TRUE(SkinInitialised());
    ASSERT_TRUE(SkinBitmapsPainted());
    EXPECT_EQ(SkinAttachCount(), 5);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(PropValue(f.button, "PROCADDR")), buttonProc);
    // Mark a strip pixel: a second paint would overwrite it.
    HDC strip = ButtonFaceStrip();
    SetPixel(strip, 3, 5, RGB(1, 2, 3));
    EXPECT_EQ(SkinStart(f.top), 0);
    EXPECT_EQ(ButtonFaceStrip(), strip);
    EXPECT_EQ(GetPixel(strip, 3, 5), RGB(1, 2, 3));
    EXPECT_EQ(SkinAttachCount(), 5);
}

TEST_F(SkinEngine, ContainerAttachesEveryDescendantOnce)
{
    const Form f = MakeForm();
    ASSERT_EQ(Start(f.top), 1);
    for (HWND hwnd : {f.top, f.button, f.edit, f.inner, f.innerButton})
        EXPECT_TRUE(Attached(hwnd)) << static_cast<const void*>(hwnd);
    // The inner container attached its button itself; the outer enumeration
    // met it again and skipped it (a second subclass would chain to itself).
    EXPECT_NE(reinterpret_cast<WNDPROC>(PropValue(f.innerButton, "PROCADDR")), &SkinWindowProc);
    EXPECT_EQ(SkinAttachCount(), 5);
    // A window attached already is refused.
    EXPECT_EQ(SkinAttach(f.button), 0);
    EXPECT_EQ(SkinAttach(nullptr), 0);
}

TEST_F(SkinEngine, AnUnknownWindowHoldingOthersIsLeftAloneWithEverythingBelowIt)
{
    // Beside the form's button (a known kind) and edit (an unknown kind, but
    // childless), a composite of another module: a window of a class the
    // skin does not know, with a button and an edit of its own inside.
    const Form f = MakeForm();
    skintest::EnsureClass(L"SkinEngineForeignPane");
    HWND pane = CreateChild(f.top, L"SkinEngineForeignPane", L"", 0, 150, 10, 150, 100);
    HWND paneButton = CreateChild(pane, L"Button", L"In", BS_PUSHBUTTON, 5, 5, 60, 24);
    HWND paneEdit = CreateChild(pane, L"Edit", L"", 0, 5, 40, 60, 22);
    const std::vector<HWND> foreign{pane, paneButton, paneEdit};
    std::vector<WNDPROC> procs;
    std::vector<LONG_PTR> styles;
    for (HWND hwnd : foreign) {
        procs.push_back(ProcOf(hwnd));
        styles.push_back(GetWindowLongPtrW(hwnd, GWL_STYLE));
    }
    const auto expectUntouched = [&](const char* when) {
        for (std::size_t i = 0; i < foreign.size(); ++i) {
            EXPECT_EQ(ProcOf(foreign[i]), procs[i]) << when << ", window " << i;
            EXPECT_EQ(GetWindowLongPtrW(foreign[i], GWL_STYLE), styles[i])
                << when << ", window " << i;
            EXPECT_EQ(PropValue(foreign[i], "PROCADDR"), 0) << when << ", window " << i;
        }
    };
    ASSERT_EQ(Start(f.top), 1);
    for (HWND hwnd : {f.top, f.button, f.edit, f.inner, f.innerButton})
        EXPECT_TRUE(Attached(hwnd)) << static_cast<const void*>(hwnd);
    EXPECT_EQ(SkinAttachCount(), 5);
    expectUntouched("attached");
    // Stopping detaches what was attached and leaves the rest as it was.
    EXPECT_EQ(SkinStop(f.top), 1);
    EXPECT_EQ(SkinAttachCount(), 0);
    expectUntouched("stopped");
}

TEST_F(SkinEngine, StopDetachesAllReleasesStripsAndTheNextStartPaintsAgain)
{
    const Form f = MakeForm();
    const WNDPROC editProc = ProcOf(f.edit);
    ASSERT_EQ(SkinStart(f.top), 1);
    HDC strip = ButtonFaceStrip();
    HGDIOBJ stripBitmap = GetCurrentObject(strip, OBJ_BITMAP);
    SetPixel(strip, 3, 5, RGB(1, 2, 3));
    EXPECT_EQ(SkinStop(f.top), 1);
    for (HWND hwnd : {f.top, f.button, f.edit, f.inner, f.innerButton}) {
        EXPECT_EQ(PropValue(hwnd, "PROCADDR"), 0);
        EXPECT_NE(ProcOf(hwnd), &SkinWindowProc);
    }
    EXPECT_EQ(ProcOf(f.edit), editProc);
    EXPECT_EQ(SkinAttachCount(), 0);
    EXPECT_FALSE(SkinInitialised());
    EXPECT_EQ(ButtonFaceStrip(), nullptr);
    EXPECT_EQ(GetObjectType(stripBitmap), 0u);
    EXPECT_EQ(SkinStop(f.top), 0);

    ASSERT_EQ(Start(f.top), 1);
    ASSERT_NE(ButtonFaceStrip(), nullptr);
    EXPECT_EQ(skintest::RgbAt(ButtonFaceStrip(), 3, 5), 0xEAF4FBu); // painted afresh
    EXPECT_TRUE(HasUserTrackMouseEvent());
}

TEST_F(SkinEngine, DestroyedWindowDetachesItself)
{
    const Form f = MakeForm();
    ASSERT_EQ(Start(f.top), 1);
    HDC face = skintest::PropHandle<HDC>(f.innerButton, "0HDC");
    ASSERT_NE(face, nullptr);
    DestroyWindow(f.inner); // the container and its button
    EXPECT_EQ(SkinAttachCount(), 3);
    EXPECT_EQ(GetObjectType(face), 0u);
    EXPECT_TRUE(SkinBitmapsPainted());
    // The last attached windows going away release the strips.
    DestroyWindow(f.button);
    DestroyWindow(f.edit);
    EXPECT_EQ(SkinAttachCount(), 1);
    SkinStop(f.top);
    EXPECT_FALSE(SkinBitmapsPainted());
}

TEST_F(SkinEngine, BadHandlesAndDegenerateWindowsAreRefusedOrHandled)
{
    const auto bogus = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x7FFF1234));
    EXPECT_EQ(SkinAttach(bogus), 0);
    EXPECT_EQ(SkinDetach(bogus), 0);
    EXPECT_EQ(SkinStart(bogus), 0);
    EXPECT_EQ(SkinStop(nullptr), 0);
    EXPECT_EQ(SkinWindowProc(bogus, WM_PAINT, 0, 0), 0);
    EXPECT_EQ(SkinAttachCount(), 0);
    // Buttons smaller than the face's borders, and one of no size at all.
    const Form f = MakeForm();
    HWND tiny = CreateChild(f.top, L"Button", L"tiny caption", BS_PUSHBUTTON, 150, 10, 4, 3);
    HWND empty = CreateChild(f.top, L"Button", L"", BS_PUSHBUTTON, 150, 20, 0, 0);
    ASSERT_EQ(Start(f.top), 1);
    for (HWND b : {tiny, empty}) {
        EXPECT_TRUE(Attached(b));
        SendMessageW(b, WM_MOUSEMOVE, 0, 0);
        for (int i = 0; i < 90; ++i) SendMessageW(b, WM_TIMER, 1, 0);
        SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        SendMessageW(b, WM_LBUTTONUP, 0, 0);
        InvalidateRect(b, nullptr, TRUE);
        UpdateWindow(b);
        SetWindowPos(b, nullptr, 0, 0, 2, 1, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    EXPECT_EQ(SkinDetach(tiny), 1);
    EXPECT_EQ(SkinDetach(empty), 1);
}

TEST_F(SkinEngine, UnattachedWindowGetsDefaultProcessing)
{
    HWND top = CreateTopWindow(L"SkinEnginePlain", L"plain title");
    EXPECT_EQ(SkinWindowProc(top, WM_GETTEXTLENGTH, 0, 0), 11);
    EXPECT_EQ(SkinWindowProc(nullptr, WM_GETTEXTLENGTH, 0, 0), 0);
    EXPECT_EQ(SkinDetach(top), 0);
}

TEST_F(SkinEngine, AttachedWindowsOfOtherKindsStillWork)
{
    const Form f = MakeForm();
    ASSERT_EQ(Start(f.top), 1);
    SendMessageW(f.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"changed"));
    wchar_t text[32] = {};
    SendMessageW(f.edit, WM_GETTEXT, 32, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"changed");
    SendMessageW(f.edit, EM_SETSEL, 0, -1);
    DWORD start = 1, end = 0;
    SendMessageW(f.edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 7u);
}

TEST_F(SkinEngine, IdleAndListColouringAttachTheNamedWindow)
{
    const Form f = MakeForm();
    ASSERT_EQ(Start(f.top), 1);
    HWND dialog = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 50, 50, f.top, nullptr,
                                  nullptr, nullptr);
    SendMessageW(f.top, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(dialog));
    EXPECT_TRUE(Attached(dialog));
    EXPECT_EQ(SkinAttachCount(), 6);

    HWND list = CreateChild(f.top, L"ListBox", L"", 0, 200, 10, 80, 60);
    HDC dc = GetDC(list);
    const LRESULT expected = DefWindowProcW(f.top, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                                            reinterpret_cast<LPARAM>(list));
    const LRESULT brush = SendMessageW(f.top, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(list));
    ReleaseDC(list, dc);
    EXPECT_EQ(brush, expected);
    EXPECT_TRUE(Attached(list));
    // lParam 0 names nothing.
    EXPECT_EQ(SendMessageW(f.top, WM_ENTERIDLE, MSGF_MENU, 0), 0);
    EXPECT_EQ(SkinAttachCount(), 7);
}

TEST_F(SkinEngine, ActivationAttachesOwnedWindowsAndContainers)
{
    const Form f = MakeForm();
    ASSERT_EQ(Start(f.top), 1);
    HWND owned = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 50, 50, f.top, nullptr, nullptr,
                                 nullptr);
    HWND stranger = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                    nullptr, nullptr);
    skintest::EnsureClass(L"form");
    HWND form = CreateWindowExW(0, L"form", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr,
                                nullptr);
    for (HWND other : {owned, stranger, form})
        SendMessageW(f.top, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(other));
    EXPECT_TRUE(Attached(owned));
    EXPECT_FALSE(Attached(stranger));
    EXPECT_TRUE(Attached(form));
}

// A message box opened from an attached form, inspected from a thread timer
// that the message box's own loop dispatches.
struct MessageBoxProbe {
    int ticks = 0;
    bool dialogAttached = false;
    int buttonsSeen = 0;
    int buttonsAttached = 0;
    std::vector<HDC> faces;
    HWND dialog = nullptr;
    bool done = false;
};
MessageBoxProbe* probe = nullptr;

BOOL CALLBACK CollectButtons(HWND child, LPARAM)
{
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    if (lstrcmpiW(name, L"Button") != 0) return TRUE;
    ++probe->buttonsSeen;
    if (Attached(child)) ++probe->buttonsAttached;
    if (HDC face = skintest::PropHandle<HDC>(child, "0HDC")) probe->faces.push_back(face);
    return TRUE;
}

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM)
{
    wchar_t name[32] = {};
    GetClassNameW(hwnd, name, 32);
    if (lstrcmpW(name, L"#32770") == 0 && IsWindowVisible(hwnd)) {
        probe->dialog = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK ProbeTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    if (!probe || probe->done) return;
    ++probe->ticks;
    probe->dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, 0);
    if (!probe->dialog) return;
    // Give the form a few idle rounds to attach it; 200 ticks is a bound, not
    // a timing expectation.
    if (!Attached(probe->dialog) && probe->ticks < 200) return;
    probe->dialogAttached = Attached(probe->dialog);
    probe->buttonsSeen = probe->buttonsAttached = 0;
    probe->faces.clear();
    EnumChildWindows(probe->dialog, CollectButtons, 0);
    probe->done = true;
    KillTimer(nullptr, id);
    PostMessageW(probe->dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(SkinEngine, MessageBoxIsAttachedWithItsButtonsAndDetachedOnDestroy)
{
    const Form f = MakeForm();
    ASSERT_EQ(Start(f.top), 1);
    SetForegroundWindow(f.top);
    SetActiveWindow(f.top);
    MessageBoxProbe seen;
    probe = &seen;
    SetTimer(nullptr, 0, 20, ProbeTimer);
    const int answer =
        MessageBoxW(f.top, L"\u7CFB\u7EDF\u63D0\u793A", L"Vemora", MB_OK | MB_ICONWARNING);
    probe = nullptr;
    EXPECT_EQ(answer, IDOK);
    ASSERT_TRUE(seen.done) << "no message box found";
    EXPECT_TRUE(seen.dialogAttached);
    EXPECT_GE(seen.buttonsSeen, 1);
    EXPECT_EQ(seen.buttonsAttached, seen.buttonsSeen);
    ASSERT_FALSE(seen.faces.empty());
    // Gone with the dialog: its windows detached, their faces deleted.
    EXPECT_FALSE(IsWindow(seen.dialog));
    EXPECT_EQ(SkinAttachCount(), 5);
    for (HDC face : seen.faces) EXPECT_EQ(GetObjectType(face), 0u);
}

TEST_F(SkinEngine, WindowsOfOtherThreadsAndProcessesAreNeverAttached)
{
    const Form f = MakeForm();
    ASSERT_EQ(Start(f.top), 1);

    // Another thread of this process.
    HWND threadWindow = nullptr;
    HANDLE created = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE finish = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread other([&] {
        threadWindow = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr,
                                       nullptr, nullptr);
        SetEvent(created);
        // Answer sent messages until told to finish.
        while (MsgWaitForMultipleObjects(1, &finish, FALSE, INFINITE, QS_ALLINPUT) !=
               WAIT_OBJECT_0) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        }
        DestroyWindow(threadWindow);
    });
    WaitForSingleObject(created, INFINITE);
    ASSERT_NE(threadWindow, nullptr);
    EXPECT_EQ(SkinAttach(threadWindow), 0);
    SendMessageW(f.top, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(threadWindow));
    EXPECT_EQ(PropValue(threadWindow, "PROCADDR"), 0);
    SetEvent(finish);
    other.join();
    CloseHandle(created);
    CloseHandle(finish);

    // Another process.
    const std::wstring tag = std::to_wstring(GetCurrentProcessId());
    const std::wstring className = L"VemoraForeign" + tag, eventName = L"VemoraForeignReady" + tag;
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, eventName.c_str());
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(StartForeignHost(className + L" foreign " + eventName, pi));
    // Bounded so a broken helper fails the test instead of hanging it.
    ASSERT_EQ(WaitForSingleObject(ready, 60000), WAIT_OBJECT_0);
    HWND foreign = FindWindowW(className.c_str(), L"foreign");
    ASSERT_NE(foreign, nullptr);
    DWORD pid = 0;
    GetWindowThreadProcessId(foreign, &pid);
    ASSERT_EQ(pid, pi.dwProcessId);
    const WNDPROC foreignProc = ProcOf(foreign);
    const int before = SkinAttachCount();
    SendMessageW(f.top, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(foreign));
    SendMessageW(f.top, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(foreign));
    SendMessageW(f.top, WM_CTLCOLORLISTBOX, 0, reinterpret_cast<LPARAM>(foreign));
    EXPECT_EQ(SkinAttach(foreign), 0);
    EXPECT_EQ(PropValue(foreign, "PROCADDR"), 0);
    EXPECT_EQ(ProcOf(foreign), foreignProc);
    EXPECT_EQ(SkinAttachCount(), before);
    PostMessageW(foreign, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    CloseHandle(ready);
}

TEST_F(SkinEngine, AProcAddrWrittenByAnotherProcessIsNeverCalled)
{
    const Form f = MakeForm();
    const WNDPROC own = ProcOf(f.button);
    ASSERT_EQ(Start(f.top), 1);
    // What any program on the desktop can do to any window: a wild code
    // pointer in "PROCADDR".
    constexpr INT_PTR wild = 0x4141414141;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(StartForeignHost(L"setprop " +
                                     std::to_wstring(reinterpret_cast<INT_PTR>(f.button)) +
                                     L" PROCADDR " + std::to_wstring(wild),
                                 pi));
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(pi.hProcess, &exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    ASSERT_EQ(exitCode, 0u) << "the other process could not write the property";
    ASSERT_EQ(PropValue(f.button, "PROCADDR"), wild);

    // The button goes on answering, painting, hovering and clicking.
    SetWindowTextW(f.button, L"still here");
    wchar_t text[32] = L"";
    GetWindowTextW(f.button, text, 32);
    EXPECT_STREQ(text, L"still here");
    RedrawWindow(f.button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    for (UINT msg : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP})
        SendMessageW(f.button, msg, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(Attached(f.button));
    // Detaching puts back the procedure the engine kept, not the property's.
    EXPECT_EQ(SkinDetach(f.button), 1);
    EXPECT_EQ(ProcOf(f.button), own);
}

// Holds every free entry of the global atom table while it lives. A window
// property named by a string takes an atom of that table, so SetPropA with a
// name that no window uses yet fails meanwhile. Bounded: the table holds
// 16,384 string atoms (0xC000 to 0xFFFF).
class AtomTableFull {
public:
    AtomTableFull()
    {
        for (int i = 0; i < 20000; ++i) {
            const std::wstring name = L"vemora-atom-" + std::to_wstring(i);
            const ATOM atom = GlobalAddAtomW(name.c_str());
            if (!atom) {
                full_ = true;
                break;
            }
            atoms_.push_back(atom);
        }
    }
    ~AtomTableFull()
    {
        for (ATOM atom : atoms_) GlobalDeleteAtom(atom);
    }
    AtomTableFull(const AtomTableFull&) = delete;
    AtomTableFull& operator=(const AtomTableFull&) = delete;
    bool full() const { return full_; }

private:
    std::vector<ATOM> atoms_;
    bool full_ = false;
};

TEST_F(SkinEngine, AFailedProcAddrLeavesTheWindowAsItWas)
{
    ASSERT_EQ(SkinAttachCount(), 0) << "no window may hold \"PROCADDR\" for the table to refuse it";
    skintest::EnsureClass(L"VemoraPlainWindow");
    HWND plain = CreateChild(CreateTopWindow(L"VemoraPlainHost"), L"VemoraPlainWindow", L"", 0, 10,
                             10, 50, 50);
    const WNDPROC own = ProcOf(plain);
    {
        AtomTableFull full;
        ASSERT_TRUE(full.full()) << "the atom table never filled";
        ASSERT_FALSE(SetPropA(plain, "VEMORA_PROBE", reinterpret_cast<HANDLE>(1)))
            << "a property still found an atom";
        // Asserted: attaching again below would store the skin's own
        // procedure as the previous one, and recurse.
        ASSERT_EQ(SkinAttach(plain), 0);
        ASSERT_EQ(ProcOf(plain), own) << "subclassed with no previous procedure kept";
        EXPECT_EQ(PropValue(plain, "PROCADDR"), 0);
        EXPECT_EQ(SkinAttachCount(), 0);
    }
    // The same window attaches once the table has room again, and still works.
    EXPECT_EQ(SkinAttach(plain), 1);
    EXPECT_TRUE(Attached(plain));
    SetWindowTextW(plain, L"still answers");
    wchar_t text[32] = L"";
    GetWindowTextW(plain, text, 32);
    EXPECT_STREQ(text, L"still answers");
    EXPECT_EQ(SkinDetach(plain), 1);
    EXPECT_EQ(ProcOf(plain), own);
}

} // namespace
