// The built Vemora.exe as the Windows loader reads it: which DLLs it makes
// the loader find before its first line runs, the exploit mitigations its
// header asks for, and what it ships without (symbols, debug sections).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "PackageFiles.h"

#ifndef VEMORA_PROGRAM
#error "VEMORA_PROGRAM must name the built Vemora.exe (a Unix path)"
#endif

namespace {

// The DLLs that every Windows from 7 to 11 lists under
// HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs: the
// loader maps them from the system folder whatever lies beside the program.
constexpr std::array<const char*, 21> KnownDlls{
    "advapi32.dll", "clbcatq.dll", "comdlg32.dll", "difxapi.dll", "gdi32.dll",
    "imagehlp.dll", "imm32.dll",   "kernel32.dll", "msctf.dll",   "msvcrt.dll",
    "normaliz.dll", "nsi.dll",     "ole32.dll",    "oleaut32.dll", "psapi.dll",
    "rpcrt4.dll",   "sechost.dll", "setupapi.dll", "shell32.dll", "shlwapi.dll",
    "user32.dll"};

// The file and its headers; Valid() tells whether it parsed as a PE32+ image.
class PeImage {
public:
    explicit PeImage(const std::wstring& path)
    {
        std::ifstream in(std::filesystem::path(path), std::ios::binary);
        bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (bytes_.size() < sizeof(IMAGE_DOS_HEADER)) return;
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes_.data());
        if (dos->e_magic != IMAGE_DOS_SIGNATURE) return;
        nt_ = At<IMAGE_NT_HEADERS64>(static_cast<std::size_t>(dos->e_lfanew));
        if (!nt_ || nt_->Signature != IMAGE_NT_SIGNATURE ||
            nt_->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC)
            nt_ = nullptr;
    }

    bool Valid() const { return nt_ != nullptr; }
    const IMAGE_NT_HEADERS64& Headers() const { return *nt_; }

    std::vector<IMAGE_SECTION_HEADER> Sections() const
    {
        const auto* first = IMAGE_FIRST_SECTION(nt_);
        const std::size_t offset = static_cast<std::size_t>(
            reinterpret_cast<const char*>(first) - bytes_.data());
        std::vector<IMAGE_SECTION_HEADER> sections;
        for (WORD i = 0; i < nt_->FileHeader.NumberOfSections; ++i)
            if (const auto* s = At<IMAGE_SECTION_HEADER>(offset + i * sizeof *first))
                sections.push_back(*s);
        return sections;
    }

    // The names of the DLLs in the import directory, lower case.
    std::vector<std::string> ImportedDlls() const
    {
        std::vector<std::string> names;
        const auto& directory =
            nt_->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (DWORD rva = directory.VirtualAddress; directory.Size != 0;
             rva += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
            const auto* entry = At<IMAGE_IMPORT_DESCRIPTOR>(FileOffset(rva));
            if (!entry || entry->Name == 0) break;
            const char* name = At<char>(FileOffset(entry->Name));
            if (!name) break;
            std::string lower(name, strnlen(name, bytes_.size() - FileOffset(entry->Name)));
            std::transform(lower.begin(), lower.end(), lower.begin(),
                           [](char c) { return static_cast<char>(tolower(c)); });
            names.push_back(lower);
        }
        return names;
    }

private:
    // Null for offset 0, which FileOffset answers for an address outside
    // every section.
    template <typename T>
    const T* At(std::size_t offset) const
    {
        if (offset == 0 || offset + sizeof(T) > bytes_.size()) return nullptr;
        return reinterpret_cast<const T*>(bytes_.data() + offset);
    }
    std::size_t FileOffset(DWORD rva) const
    {
        for (const IMAGE_SECTION_HEADER& s : Sections())
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
                return s.PointerToRawData + (rva - s.VirtualAddress);
        return 0;
    }

    std::vector<char> bytes_;
    const IMAGE_NT_HEADERS64* nt_ = nullptr;
};

class VemoraImage : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(image.Valid()) << "not a 64-bit PE image"; }
    const PeImage image{WindowsPathOf(VEMORA_PROGRAM)};
};

TEST_F(VemoraImage, ImportsOnlyKnownDlls)
{
    const std::vector<std::string> dlls = image.ImportedDlls();
    ASSERT_FALSE(dlls.empty());
    for (const std::string& dll : dlls)
        EXPECT_NE(std::find(KnownDlls.begin(), KnownDlls.end(), dll), KnownDlls.end())
            << dll << " is not a KnownDLL: it would be looked for beside the program";
}

TEST_F(VemoraImage, AsksForAslrHighEntropyAndNxAndHasNoWritableCode)
{
    const WORD flags = image.Headers().OptionalHeader.DllCharacteristics;
    EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE);
    EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA);
    EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_NX_COMPAT);
    // Relocations kept, or the loader cannot move the image after all.
    EXPECT_FALSE(image.Headers().FileHeader.Characteristics & IMAGE_FILE_RELOCS_STRIPPED);
    for (const IMAGE_SECTION_HEADER& s : image.Sections()) {
        const std::string name(reinterpret_cast<const char*>(s.Name), strnlen(
            reinterpret_cast<const char*>(s.Name), IMAGE_SIZEOF_SHORT_NAME));
        EXPECT_FALSE((s.Characteristics & IMAGE_SCN_MEM_WRITE) &&
                     (s.Characteristics & IMAGE_SCN_MEM_EXECUTE))
            << name << " is writable and executable";
    }
}

TEST_F(VemoraImage, ShipsWithoutSymbolsOrDebugSections)
{
    EXPECT_EQ(image.Headers().FileHeader.PointerToSymbolTable, 0u);
    EXPECT_EQ(image.Headers().FileHeader.NumberOfSymbols, 0u);
    for (const IMAGE_SECTION_HEADER& s : image.Sections()) {
        // Long names such as .debug_info appear as "/<offset>" into the
        // string table that stripping removes; any of them is a leftover.
        EXPECT_NE(s.Name[0], '/') << "a section with a long name is left";
        EXPECT_NE(std::memcmp(s.Name, ".debug", 6), 0);
    }
}

} // namespace
