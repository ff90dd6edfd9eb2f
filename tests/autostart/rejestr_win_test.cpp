// The real registry, in a scratch key of HKEY_CURRENT_USER: odd data put in
// place with the raw API is read, and binary data is written as Task Manager
// writes its switch. (What writes and deletes store and report while a DACL
// closes the key, and values that are not there: the end-to-end tests.)
#include <windows.h>

#include <gtest/gtest.h>

#include "autostart/rejestr.h"

namespace czasomir {
namespace {

const std::wstring kKey = L"Software\\CzasomirTest\\" + std::to_wstring(GetCurrentProcessId());

struct Scratch {
    HKEY key = nullptr;
    Scratch() { RegCreateKeyExW(HKEY_CURRENT_USER, kKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr); }
    ~Scratch() { RegCloseKey(key), RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\CzasomirTest"); }
};

// REG_BINARY is read as stored, and nothing of another type.
TEST(Rejestr, ReadsRegSzUpToItsFirstNulAndRegBinaryAsStoredAndNothingElseWritesRegBinary) {
    Scratch scratch;
    const std::wstring longText(40000, L'ż');
    const struct {
        DWORD type;
        std::wstring data;
        DWORD bytes;  // 0: all of data
        std::optional<std::wstring> read;
        bool binary = false;
    } cases[] = {{REG_SZ, L"C:\\Czasomir.exe /auto", 0, L"C:\\Czasomir.exe /auto"}, {REG_SZ, std::wstring(L"ab\0cd", 5), 0, L"ab"},
                 {REG_SZ, L"", 0, L""}, {REG_SZ, L"abc", 5, L"ab"} /* an odd byte count: whole characters only */,
                 {REG_SZ, longText, 0, longText}, {REG_EXPAND_SZ, L"%SystemRoot%", 0, {}},
                 {REG_MULTI_SZ, std::wstring(L"a\0b\0", 5), 0, {}}, {REG_BINARY, L"abc", 0, {}, true}, {REG_BINARY, L"", 0, {}, true}, {REG_DWORD, L"AA", 0, {}}};
    auto registry = MakeWindowsRejestr();
    int n = 0;
    for (const auto& c : cases) {
        const std::wstring name = std::to_wstring(++n);
        std::wstring data = c.data + L'\xFFFF';  // no NUL follows in memory: RegSetValueExW would store it
        RegSetValueExW(scratch.key, name.c_str(), 0, c.type, reinterpret_cast<const BYTE*>(data.data()),
                       c.bytes ? c.bytes : static_cast<DWORD>(c.data.size() * sizeof(wchar_t)));
        EXPECT_EQ(registry->ReadStringValue(kHkeyCurrentUser, kKey, name), c.read) << n;
        const auto bytes = reinterpret_cast<const std::uint8_t*>(c.data.data());
        EXPECT_EQ(registry->ReadBinaryValue(kHkeyCurrentUser, kKey, name),
                  c.binary ? std::optional(std::vector(bytes, bytes + c.data.size() * sizeof(wchar_t))) : std::nullopt) << n;
    }
    // Written as Task Manager writes its switch, and read back.
    const std::vector<std::uint8_t> off{3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    DWORD type = 0;
    EXPECT_EQ(registry->WriteBinaryValue(kHkeyCurrentUser, kKey, L"switch", off), RegistryResult::Done);
    RegQueryValueExW(scratch.key, L"switch", nullptr, &type, nullptr, nullptr);
    EXPECT_EQ(std::pair(type, registry->ReadBinaryValue(kHkeyCurrentUser, kKey, L"switch")), std::pair(DWORD{REG_BINARY}, std::optional(off)));
}

}  // namespace
}  // namespace czasomir
