// The Windows Rejestr against the real registry: each test works in a scratch
// key of its own, removed afterwards whether the test passed or not. Odd data
// is put in place with the raw API.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "autostart/rejestr.h"

namespace czasomir {
namespace {

HKEY Root(RegistryRoot root) { return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root))); }

struct Raw {
    DWORD type = 0;
    std::vector<BYTE> bytes;
};

class RejestrTest : public ::testing::Test {
protected:
    explicit RejestrTest(RegistryRoot root = kHkeyCurrentUser) : root_(root) {
        std::random_device random;
        key_ = L"Software\\CzasomirTest\\" + std::to_wstring(random()) + L"-" + std::to_wstring(random());
    }
    ~RejestrTest() override {
        RegDeleteTreeW(Root(root_), key_.c_str());
        HKEY parent = nullptr;
        if (RegOpenKeyExW(Root(root_), L"Software", 0, KEY_ALL_ACCESS, &parent) == ERROR_SUCCESS) {
            RegDeleteKeyW(parent, L"CzasomirTest");  // only when no other run still uses it
            RegCloseKey(parent);
        }
    }

    // Stores raw data of any type under the scratch key (or a key below it).
    void Put(const std::wstring& name, DWORD type, const void* data, DWORD bytes, const std::wstring& sub = L"") {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(Root(root_), Path(sub).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        // RegSetValueExW stores one more character when a NUL follows the
        // string data in memory: what follows here is never NUL.
        std::vector<BYTE> copy(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + bytes);
        copy.insert(copy.end(), {0xFF, 0xFF, 0xFF});
        const LONG status = RegSetValueExW(key, name.c_str(), 0, type, copy.data(), bytes);
        RegCloseKey(key);
        ASSERT_EQ(status, ERROR_SUCCESS);
    }
    void PutText(const std::wstring& name, const std::wstring& data, DWORD type = REG_SZ) {
        Put(name, type, data.data(), static_cast<DWORD>(data.size() * sizeof(wchar_t)));
    }

    std::optional<Raw> Get(const std::wstring& name, const std::wstring& sub = L"") {
        HKEY key = nullptr;
        if (RegOpenKeyExW(Root(root_), Path(sub).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
        Raw raw;
        DWORD size = 0;
        LONG status = RegQueryValueExW(key, name.c_str(), nullptr, &raw.type, nullptr, &size);
        if (status == ERROR_SUCCESS) {
            raw.bytes.resize(size);
            status = RegQueryValueExW(key, name.c_str(), nullptr, &raw.type, raw.bytes.data(), &size);
            raw.bytes.resize(size);
        }
        RegCloseKey(key);
        if (status != ERROR_SUCCESS) return std::nullopt;
        return raw;
    }
    bool KeyExists(const std::wstring& sub = L"") {
        HKEY key = nullptr;
        if (RegOpenKeyExW(Root(root_), Path(sub).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }

    std::wstring Path(const std::wstring& sub = L"") const { return sub.empty() ? key_ : key_ + L"\\" + sub; }
    std::optional<std::wstring> Read(const std::wstring& name, const std::wstring& sub = L"") {
        return registry->ReadStringValue(root_, Path(sub), name);
    }

    std::unique_ptr<Rejestr> registry = MakeWindowsRejestr();
    RegistryRoot root_;
    std::wstring key_;
};

std::vector<BYTE> Bytes(const std::wstring& text) {
    const auto* p = reinterpret_cast<const BYTE*>(text.data());
    return {p, p + text.size() * sizeof(wchar_t)};
}

TEST_F(RejestrTest, ReadsRegSzWithOrWithoutATerminatorUpToTheFirstNul) {
    PutText(L"bez", L"C:\\Program Files\\Czasomir.exe /auto");
    PutText(L"z", std::wstring(L"abc") + L'\0');
    PutText(L"srodek", std::wstring(L"ab\0cd", 5));
    PutText(L"zero", L"");
    PutText(L"nul", std::wstring(1, L'\0'));
    PutText(L"nuls", std::wstring(3, L'\0'));
    ASSERT_EQ(Get(L"bez")->bytes, Bytes(L"C:\\Program Files\\Czasomir.exe /auto"));  // truly no terminator
    EXPECT_EQ(Read(L"bez"), L"C:\\Program Files\\Czasomir.exe /auto");
    EXPECT_EQ(Read(L"z"), L"abc");
    EXPECT_EQ(Read(L"srodek"), L"ab");
    EXPECT_EQ(Read(L"zero"), L"");  // a text, not nothing
    EXPECT_EQ(Read(L"nul"), L"");
    EXPECT_EQ(Read(L"nuls"), L"");
}

TEST_F(RejestrTest, AnOddByteCountGivesTheWholeCharacters) {
    const std::wstring abc = L"abc";
    Put(L"siedem", REG_SZ, abc.data(), 7);
    Put(L"jeden", REG_SZ, abc.data(), 1);
    const BYTE odd[] = {'x', 0, 0, 0, 'y'};  // x, NUL, then half a character
    Put(L"piec", REG_SZ, odd, 5);
    ASSERT_EQ(Get(L"siedem")->bytes.size(), 7u);
    EXPECT_EQ(Read(L"siedem"), L"abc");
    EXPECT_EQ(Read(L"jeden"), L"");
    EXPECT_EQ(Read(L"piec"), L"x");
}

TEST_F(RejestrTest, OnlyRegSzIsText) {
    PutText(L"expand", L"C:\\Czasomir.exe /auto", REG_EXPAND_SZ);
    PutText(L"multi", std::wstring(L"a\0b\0", 5), REG_MULTI_SZ);
    const DWORD number = 0x00410041;
    Put(L"dword", REG_DWORD, &number, sizeof number);
    PutText(L"binary", L"abc", REG_BINARY);
    PutText(L"none", L"abc", REG_NONE);
    for (const wchar_t* name : {L"expand", L"multi", L"dword", L"binary", L"none"})
        EXPECT_EQ(Read(name), std::nullopt) << name;
}

TEST_F(RejestrTest, AMissingValueOrKeyGivesNothing) {
    PutText(L"inna", L"x");
    EXPECT_EQ(Read(L"CzasomirKR"), std::nullopt);
    EXPECT_EQ(Read(L"CzasomirKR", L"brak\\glebiej"), std::nullopt);
    EXPECT_EQ(registry->ReadStringValue(kHkeyCurrentUser, L"Software\\CzasomirTest-brak", L"x"), std::nullopt);
    EXPECT_FALSE(KeyExists(L"brak"));  // reading creates nothing
}

TEST_F(RejestrTest, ValuesLongerThan32767CharactersAreReadWhole) {
    std::wstring longText(100000, L'a');
    for (std::size_t i = 0; i < longText.size(); i += 7) longText[i] = static_cast<wchar_t>(L'b' + i % 20);
    PutText(L"dlugi", longText);
    EXPECT_EQ(Read(L"dlugi"), longText);

    std::wstring cut = longText;
    cut[40000] = L'\0';
    PutText(L"nul-daleko", cut);
    EXPECT_EQ(Read(L"nul-daleko"), longText.substr(0, 40000));

    registry->WriteStringValue(root_, Path(), L"zapis", longText);
    EXPECT_EQ(Read(L"zapis"), longText);
}

TEST_F(RejestrTest, WritingCreatesTheKeyAndStoresRegSzWithoutATerminator) {
    ASSERT_FALSE(KeyExists(L"nowy\\klucz"));
    const std::wstring command = L"\"C:\\Program Files\\Czasomir\\Czasomir.exe\" /auto";
    registry->WriteStringValue(root_, Path(L"nowy\\klucz"), L"CzasomirKR", command);
    const auto raw = Get(L"CzasomirKR", L"nowy\\klucz");
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(raw->bytes, Bytes(command));
    EXPECT_EQ(Read(L"CzasomirKR", L"nowy\\klucz"), command);

    registry->WriteStringValue(root_, Path(), L"pusty", L"");
    const auto empty = Get(L"pusty");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->type, static_cast<DWORD>(REG_SZ));
    EXPECT_TRUE(empty->bytes.empty());
    EXPECT_EQ(Read(L"pusty"), L"");
}

TEST_F(RejestrTest, WritingReplacesAValueOfAnyTypeWithRegSz) {
    const DWORD number = 7;
    Put(L"dword", REG_DWORD, &number, sizeof number);
    PutText(L"expand", L"%SystemRoot%", REG_EXPAND_SZ);
    PutText(L"sz", L"stary tekst, dłuższy od nowego");
    for (const wchar_t* name : {L"dword", L"expand", L"sz"}) {
        registry->WriteStringValue(root_, Path(), name, L"nowy");
        const auto raw = Get(name);
        ASSERT_TRUE(raw) << name;
        EXPECT_EQ(raw->type, static_cast<DWORD>(REG_SZ)) << name;
        EXPECT_EQ(raw->bytes, Bytes(L"nowy")) << name;
    }
}

TEST_F(RejestrTest, DeletingRemovesTheValueAndLeavesTheKey) {
    registry->WriteStringValue(root_, Path(), L"CzasomirKR", L"x");
    PutText(L"sasiad", L"zostaje");
    registry->DeleteValue(root_, Path(), L"CzasomirKR");
    EXPECT_TRUE(KeyExists());
    EXPECT_EQ(Get(L"CzasomirKR"), std::nullopt);
    EXPECT_EQ(Read(L"CzasomirKR"), std::nullopt);
    EXPECT_EQ(Read(L"sasiad"), L"zostaje");

    // Nothing to delete: nothing happens, and no key appears.
    registry->DeleteValue(root_, Path(), L"CzasomirKR");
    registry->DeleteValue(root_, Path(L"brak"), L"CzasomirKR");
    EXPECT_TRUE(KeyExists());
    EXPECT_FALSE(KeyExists(L"brak"));
    EXPECT_EQ(Read(L"sasiad"), L"zostaje");
}

TEST_F(RejestrTest, PolishLettersSurviveInKeysNamesAndText) {
    const std::wstring sub = L"Zażółć gęślą jaźń";
    const std::wstring name = L"Wartość ŁÓDŹ";
    const std::wstring text = L"\"C:\\Program Files\\Mój zegar – żółw\\Czasomir.exe\" /auto";
    registry->WriteStringValue(root_, Path(sub), name, text);
    EXPECT_EQ(Read(name, sub), text);
    const auto raw = Get(name, sub);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->bytes, Bytes(text));
    registry->DeleteValue(root_, Path(sub), name);
    EXPECT_EQ(Read(name, sub), std::nullopt);
}

// Handle values come from the lowest free slots of the process's table: a new
// key handle after many calls lands far higher when those calls left keys open.
TEST_F(RejestrTest, ManyCallsLeaveNoKeyOpen) {
    PutText(L"v", L"x");
    auto probe = [&] {
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyExW(Root(root_), Path().c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
        RegCloseKey(key);
        return reinterpret_cast<ULONG_PTR>(key);
    };
    const ULONG_PTR before = probe();
    for (int i = 0; i < 200; ++i) {
        Read(L"v");
        Read(L"brak");
        Read(L"v", L"brak");
        registry->WriteStringValue(root_, Path(), L"w", L"y");
        registry->DeleteValue(root_, Path(), L"w");
        registry->DeleteValue(root_, Path(L"brak"), L"w");
    }
    const ULONG_PTR after = probe();
    EXPECT_LT(after, before + 64 * sizeof(HANDLE)) << before << " " << after;
}

class RejestrMachineTest : public RejestrTest {
protected:
    RejestrMachineTest() : RejestrTest(kHkeyLocalMachine) {}
};

// The program's own root. Writable here (a test prefix); elsewhere the test is skipped.
TEST_F(RejestrMachineTest, WorksBelowHkeyLocalMachine) {
    registry->WriteStringValue(root_, Path(), L"CzasomirKR", L"\"C:\\x\\Czasomir.exe\" /auto");
    if (!KeyExists()) GTEST_SKIP() << "no write access below HKEY_LOCAL_MACHINE";
    EXPECT_EQ(Read(L"CzasomirKR"), L"\"C:\\x\\Czasomir.exe\" /auto");
    registry->DeleteValue(root_, Path(), L"CzasomirKR");
    EXPECT_EQ(Read(L"CzasomirKR"), std::nullopt);
}

}  // namespace
}  // namespace czasomir
