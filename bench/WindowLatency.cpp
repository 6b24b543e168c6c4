// Window latency of the real program under Wine, as medians of repeated runs:
//  - Create: from the click on Command1 (its BN_CLICKED reaching the window)
//    until Pic2 holds the new picture, for a version 1 and a version 40 symbol;
//  - start: from starting Vemora.exe until its window is visible and painted.
//
//   vemora_window_latency.exe <path of Vemora.exe> [runs]
#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "Form1.h"

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n == 0 ? 0.0 : (n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2);
}

void PumpPending()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// One Create in the running window: the handler runs inside SendMessage, so
// when it returns Pic2 holds the new picture.
double TimeCreate(HWND form, const std::wstring& text, int versionIndex)
{
    SetWindowTextW(GetDlgItem(form, Form1::Text1Id), text.c_str());
    SendMessageW(GetDlgItem(form, Form1::Cmb1Id + 0), CB_SETCURSEL,
                 static_cast<WPARAM>(versionIndex), 0);
    HWND button = GetDlgItem(form, Form1::Command1Id);
    PumpPending();
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    SendMessageW(form, WM_COMMAND, MAKEWPARAM(Form1::Command1Id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    QueryPerformanceCounter(&end);
    PumpPending();
    return Milliseconds(start, end);
}

struct FindResult {
    DWORD processId;
    HWND window;
};

BOOL CALLBACK FindProgramWindow(HWND window, LPARAM lParam)
{
    auto* find = reinterpret_cast<FindResult*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (processId == find->processId && IsWindowVisible(window) &&
        std::wstring(className) == Form1::ClassName) {
        find->window = window;
        return FALSE;
    }
    return TRUE;
}

// From CreateProcess until the program's window is visible with nothing left
// to paint; then the program is closed again. Negative when it failed.
double TimeStart(const std::wstring& program)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + program + L"\"";
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return -1;
    WaitForInputIdle(process.hProcess, 30000);
    FindResult find{process.dwProcessId, nullptr};
    double result = -1;
    for (int tries = 0; tries < 30000; ++tries) {
        find.window = nullptr;
        EnumWindows(FindProgramWindow, reinterpret_cast<LPARAM>(&find));
        if (find.window && !GetUpdateRect(find.window, nullptr, FALSE)) {
            QueryPerformanceCounter(&end);
            result = Milliseconds(start, end);
            break;
        }
        Sleep(1);
    }
    if (find.window) PostMessageW(find.window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: vemora_window_latency <Vemora.exe> [runs]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 15;
    OleInitialize(nullptr);

    std::vector<double> version1, version40, startTimes;
    {
        Form1 form(DefaultFormServices());
        if (!form.Create(GetModuleHandleW(nullptr), SW_SHOW)) {
            std::fprintf(stderr, "the window could not be created\n");
            return 1;
        }
        PumpPending();
        // Version 1 from the automatic choice, and version 40-M nearly full.
        const std::wstring shortText = L"Olvane";
        const std::wstring longText(2300, L'x');
        for (int run = 0; run < runs; ++run) {
            version1.push_back(TimeCreate(form.Window(), shortText, 0));
            version40.push_back(TimeCreate(form.Window(), longText, 40));
        }
        DestroyWindow(form.Window());
        PumpPending();
    }
    for (int run = 0; run < std::max(3, runs / 3); ++run) {
        const double ms = TimeStart(argv[1]);
        if (ms >= 0) startTimes.push_back(ms);
    }
    OleUninitialize();

    std::printf("%-44s %10s %6s\n", "window latency under Wine (median)", "ms", "runs");
    std::printf("%-44s %10.2f %6zu\n", "Create, version 1 (click to Pic2 picture)",
                Median(version1), version1.size());
    std::printf("%-44s %10.2f %6zu\n", "Create, version 40-M (click to Pic2 picture)",
                Median(version40), version40.size());
    std::printf("%-44s %10.1f %6zu\n", "start to first painted window", Median(startTimes),
                startTimes.size());
    return startTimes.empty() ? 1 : 0;
}
