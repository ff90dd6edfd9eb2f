// What the shipped file carries: its version information, its icon and its
// imports (only Windows' own DLLs, so the one file runs anywhere).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "platform/resource_ids.h"
#include "tests/e2e/harness.h"

namespace {

std::wstring VersionString(const std::vector<BYTE>& block, const std::wstring& name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = L"\\StringFileInfo\\040904B0\\" + name;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || !value) return L"<missing>";
    return static_cast<const wchar_t*>(value);
}

TEST(ExeFile, VersionInformationNamesTheProgramInUsEnglishUnicode) {
    const std::wstring exe = e2e::ExePath().wstring();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, block.data()));

    struct Translation {
        WORD language, codePage;
    }* translations = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                               &length));
    ASSERT_GE(length, sizeof(Translation));
    EXPECT_EQ(translations[0].language, 0x0409);
    EXPECT_EQ(translations[0].codePage, 1200);

    EXPECT_EQ(VersionString(block, L"FileVersion"), L"1.10");
    EXPECT_EQ(VersionString(block, L"ProductVersion"), L"1.10");
    EXPECT_EQ(VersionString(block, L"FileDescription"), L"Program mierzący czas");
    EXPECT_EQ(VersionString(block, L"ProductName"), L"Czasomir");
    EXPECT_EQ(VersionString(block, L"InternalName"), L"Czasomir");
    EXPECT_EQ(VersionString(block, L"OriginalFilename"), L"Czasomir.exe");
    EXPECT_NE(VersionString(block, L"CompanyName"), L"<missing>");
    EXPECT_NE(VersionString(block, L"LegalCopyright"), L"<missing>");
}

#pragma pack(push, 2)
struct IconDirEntry {
    BYTE width, height, colors, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(ExeFile, IconHolds32And16PixelImagesOf16Colours) {
    HMODULE module = LoadLibraryExW(e2e::ExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(IDI_CZASOMIR), MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */);
    ASSERT_NE(group, nullptr);
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
    WORD count = 0;
    std::memcpy(&count, bytes + 4, sizeof count);
    std::set<int> sizes;
    for (WORD i = 0; i < count; ++i) {
        IconDirEntry entry;
        std::memcpy(&entry, bytes + 6 + i * sizeof entry, sizeof entry);
        sizes.insert(entry.width);
        EXPECT_EQ(entry.width, entry.height);
        EXPECT_EQ(entry.bitCount, 4);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 32}));
    FreeLibrary(module);
}

// The DLL names in a PE file's import table.
std::vector<std::string> ImportedDlls(const std::vector<char>& file) {
    auto read32 = [&](std::size_t at) {
        DWORD v = 0;
        if (at + 4 <= file.size()) std::memcpy(&v, file.data() + at, 4);
        return v;
    };
    const DWORD pe = read32(0x3c);
    const std::size_t optional = pe + 24;
    const WORD sections = static_cast<WORD>(read32(pe + 6) & 0xffff);
    const WORD optionalSize = static_cast<WORD>(read32(pe + 20) & 0xffff);
    const bool pe32plus = (read32(optional) & 0xffff) == 0x20b;
    const DWORD importRva = read32(optional + (pe32plus ? 120 : 104));
    auto offsetOf = [&](DWORD rva) -> std::size_t {
        for (WORD i = 0; i < sections; ++i) {
            const std::size_t s = optional + optionalSize + i * 40u;
            const DWORD va = read32(s + 12), size = read32(s + 8), raw = read32(s + 20);
            if (rva >= va && rva < va + size) return raw + (rva - va);
        }
        return file.size();
    };
    std::vector<std::string> dlls;
    for (std::size_t d = offsetOf(importRva); d + 20 <= file.size() && read32(d + 12) != 0; d += 20) {
        std::size_t name = offsetOf(read32(d + 12));
        std::string dll;
        while (name < file.size() && file[name]) dll += static_cast<char>(std::tolower(file[name++]));
        dlls.push_back(dll);
    }
    return dlls;
}

TEST(ExeFile, ImportsOnlyWindowsOwnDlls) {
    std::ifstream in(e2e::ExePath(), std::ios::binary);
    const std::vector<char> file((std::istreambuf_iterator<char>(in)), {});
    ASSERT_GT(file.size(), 1024u);
    const std::vector<std::string> dlls = ImportedDlls(file);
    ASSERT_FALSE(dlls.empty());
    const std::set<std::string> allowed = {"kernel32.dll", "user32.dll",   "gdi32.dll",    "comctl32.dll",
                                           "shell32.dll",  "ole32.dll",    "oleaut32.dll", "advapi32.dll",
                                           "msvcrt.dll"};
    bool hasKernel = false;
    for (const std::string& dll : dlls) {
        hasKernel |= dll == "kernel32.dll";
        EXPECT_TRUE(allowed.count(dll) || dll.rfind("api-ms-win-crt-", 0) == 0) << dll;
    }
    EXPECT_TRUE(hasKernel);
}

}  // namespace
