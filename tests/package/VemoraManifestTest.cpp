// The application manifest of the built Vemora.exe: present as resource 1 of
// type RT_MANIFEST, read by the system's own activation-context parser to
// the settings the program relies on, and the program's window per-monitor
// DPI aware.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "ExternalVemora.h"
#include "PackageFiles.h"

#ifndef VEMORA_PROGRAM
#error "VEMORA_PROGRAM must name the built Vemora.exe (a Unix path)"
#endif

namespace {

const std::wstring Program = WindowsPathOf(VEMORA_PROGRAM);

constexpr wchar_t WindowsSettings2005[] = L"http://schemas.microsoft.com/SMI/2005/WindowsSettings";
constexpr wchar_t WindowsSettings2016[] = L"http://schemas.microsoft.com/SMI/2016/WindowsSettings";

// The supportedOS ids Microsoft gives for Windows 7, 8, 8.1 and 10/11.
constexpr std::array<GUID, 4> SupportedSystems{{
    {0x35138b9a, 0x5d96, 0x4fbd, {0x8e, 0x2d, 0xa2, 0x44, 0x02, 0x25, 0xf9, 0x3a}},
    {0x4a2f28e3, 0x53b9, 0x4441, {0xba, 0x9c, 0xd6, 0x9d, 0x4a, 0x4a, 0x6e, 0x38}},
    {0x1f676c76, 0x80e1, 0x4239, {0x95, 0xbb, 0x83, 0xd0, 0xf6, 0xd0, 0xda, 0x78}},
    {0x8e0f7a12, 0xbfb3, 0x4fe8, {0xb9, 0xa5, 0x48, 0xfd, 0x50, 0xa1, 0x5a, 0x9a}},
}};

// The program's manifest as an activation context, the way the loader makes
// it when the process starts.
class ManifestContext {
public:
    ManifestContext()
    {
        ACTCTXW description{};
        description.cbSize = sizeof description;
        description.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        description.lpSource = Program.c_str();
        description.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
        context_ = CreateActCtxW(&description);
    }
    ~ManifestContext()
    {
        if (context_ != INVALID_HANDLE_VALUE) ReleaseActCtx(context_);
    }
    ManifestContext(const ManifestContext&) = delete;
    ManifestContext& operator=(const ManifestContext&) = delete;

    bool Valid() const { return context_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return context_; }

    std::wstring Setting(const wchar_t* settingsNamespace, const wchar_t* name) const
    {
        wchar_t value[256] = L"";
        SIZE_T written = 0;
        if (!QueryActCtxSettingsW(0, context_, settingsNamespace, name, value, 256, &written))
            return L"";
        return value;
    }

private:
    HANDLE context_ = INVALID_HANDLE_VALUE;
};

std::string ManifestResourceText()
{
    HMODULE module = LoadLibraryExW(Program.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) return "";
    std::string text;
    if (HRSRC found = FindResourceW(module, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST)) {
        HGLOBAL loaded = LoadResource(module, found);
        const void* bytes = loaded ? LockResource(loaded) : nullptr;
        if (bytes) text.assign(static_cast<const char*>(bytes), SizeofResource(module, found));
    }
    FreeLibrary(module);
    return text;
}

TEST(VemoraManifest, IsTheProcessManifestResourceOfVemoraExe)
{
    const std::string text = ManifestResourceText();
    ASSERT_FALSE(text.empty()) << "no RT_MANIFEST resource 1 in Vemora.exe";
    EXPECT_NE(text.find("<assembly"), std::string::npos);
    // Common controls 5: no dependency on Microsoft.Windows.Common-Controls 6.
    EXPECT_EQ(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
}

TEST(VemoraManifest, SystemReadsDpiAwarenessExecutionLevelAndSupportedSystems)
{
    ManifestContext context;
    ASSERT_TRUE(context.Valid()) << "the manifest does not parse, error " << GetLastError();

    // Per-monitor v2 first; "true/pm" for the systems before Windows 10 1607.
    const std::wstring awareness = context.Setting(WindowsSettings2016, L"dpiAwareness");
    EXPECT_EQ(awareness.substr(0, awareness.find(L',')), L"PerMonitorV2");
    EXPECT_EQ(context.Setting(WindowsSettings2005, L"dpiAware"), L"true/pm");

    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION runLevel{};
    ASSERT_TRUE(QueryActCtxW(0, context.get(), nullptr, RunlevelInformationInActivationContext,
                             &runLevel, sizeof runLevel, nullptr));
    EXPECT_EQ(runLevel.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
    EXPECT_EQ(runLevel.UiAccess, 0u);

    // ElementCount, then the elements; their size differs between SDKs
    // (newer ones add MaxVersionTested), so each id is looked for in the
    // bytes, followed by the type "operating system".
    std::array<BYTE, 1024> compatibility{};
    SIZE_T written = 0;
    ASSERT_TRUE(QueryActCtxW(0, context.get(), nullptr, CompatibilityInformationInActivationContext,
                             compatibility.data(), compatibility.size(), &written));
    for (const GUID& system : SupportedSystems) {
        bool listed = false;
        for (SIZE_T at = sizeof(DWORD); at + sizeof(GUID) + sizeof(DWORD) <= written; ++at) {
            DWORD type = 0;
            memcpy(&type, compatibility.data() + at + sizeof(GUID), sizeof type);
            listed |= memcmp(compatibility.data() + at, &system, sizeof system) == 0 &&
                      type == ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS;
        }
        EXPECT_TRUE(listed) << "supportedOS {" << std::hex << system.Data1 << "-...} missing";
    }
}

TEST(VemoraManifest, ProgramWindowIsPerMonitorDpiAware)
{
    ExternalVemora vemora;
    ASSERT_TRUE(vemora.Start(Program));
    const DPI_AWARENESS_CONTEXT context = GetWindowDpiAwarenessContext(vemora.Window());
    EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(context), DPI_AWARENESS_PER_MONITOR_AWARE);
    // This test program carries the same resources as Vemora.exe.
    EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()),
              DPI_AWARENESS_PER_MONITOR_AWARE);
    EXPECT_TRUE(vemora.Close());
}

} // namespace
