// The autostart check box of Czasomir.exe, run as the user runs it, against
// the machine's Run value. The value is set up and read back here with the
// program's own registry code, and removed after every test.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "autostart/autostart.h"
#include "autostart/rejestr.h"
#include "tests/e2e/harness.h"

namespace {

using czasomir::kAutostartKey;
using czasomir::kAutostartRoot;
using czasomir::kAutostartValueName;
using e2e::ids::Check1;

const std::wstring kFolder = L"Mój Czasomir z odstępami";

// A second start of the program from a folder the harness made: the Run value
// names the folder, so it is set up between the two starts.
class Restart : public e2e::Process {
public:
    explicit Restart(const e2e::App& app) : Process(app.exe(), Quoted(app.exe()), app.folder()) {}
};

class AutostartE2e : public ::testing::Test {
protected:
    void SetUp() override { registry->DeleteValue(kAutostartRoot, kAutostartKey, kAutostartValueName); }
    void TearDown() override { registry->DeleteValue(kAutostartRoot, kAutostartKey, kAutostartValueName); }

    std::optional<std::wstring> Stored() {
        return registry->ReadStringValue(kAutostartRoot, kAutostartKey, kAutostartValueName);
    }
    void Store(const std::wstring& text) {
        registry->WriteStringValue(kAutostartRoot, kAutostartKey, kAutostartValueName, text);
        ASSERT_EQ(Stored(), text);
    }
    static LRESULT State(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0); }
    static std::wstring Quoted(const e2e::App& app) { return L"\"" + app.exe().wstring() + L"\" /auto"; }
    static std::wstring Unquoted(const e2e::App& app) { return app.exe().wstring() + L" /auto"; }

    // Starts the program in a folder of its own and ends that first run at
    // once, so that the value can name the folder before the second start.
    std::unique_ptr<e2e::App> Prepared() {
        e2e::Launch launch;
        launch.folderName = kFolder;
        auto app = std::make_unique<e2e::App>(launch);
        EXPECT_NE(app->mainWindow(), nullptr);
        app->kill();
        return app;
    }

    std::unique_ptr<czasomir::Rejestr> registry = czasomir::MakeWindowsRejestr();
};

TEST_F(AutostartE2e, NoValueGivesAnUntickedBoxAndNoWrite) {
    e2e::App app;
    HWND box = app.control(Check1());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(State(box), BST_UNCHECKED);
    EXPECT_EQ(Stored(), std::nullopt);
}

TEST_F(AutostartE2e, TheExactCommandGivesATickedBox) {
    auto app = Prepared();
    Store(Quoted(*app));
    Restart run(*app);
    HWND box = run.control(Check1());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(State(box), BST_CHECKED);
    EXPECT_EQ(Stored(), Quoted(*app));
}

TEST_F(AutostartE2e, TheOlderUnquotedCommandIsRewrittenQuotedAtStartup) {
    auto app = Prepared();
    Store(Unquoted(*app));
    Restart run(*app);
    HWND box = run.control(Check1());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(State(box), BST_CHECKED);
    EXPECT_TRUE(e2e::WaitUntil([&] { return Stored() == Quoted(*app); }, 5000)) << Stored().value_or(L"(none)");
}

TEST_F(AutostartE2e, AnotherLetterCaseIsNotThisCopysRegistration) {
    auto app = Prepared();
    std::wstring upper = Quoted(*app);
    upper.replace(upper.rfind(L"Czasomir.exe"), 12, L"CZASOMIR.EXE");
    Store(upper);
    Restart run(*app);
    HWND box = run.control(Check1());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(State(box), BST_UNCHECKED);
    EXPECT_EQ(Stored(), upper);
}

TEST_F(AutostartE2e, TickingWritesTheQuotedCommandFromAFolderWithBlanks) {
    e2e::Launch launch;
    launch.folderName = kFolder;
    e2e::App app(launch);
    HWND box = app.control(Check1());
    ASSERT_NE(box, nullptr);
    ASSERT_NE(app.exe().wstring().find(L' '), std::wstring::npos);
    app.click(Check1());
    EXPECT_TRUE(e2e::WaitUntil([&] { return Stored().has_value(); }, 5000));
    EXPECT_EQ(Stored(), Quoted(app));
    EXPECT_EQ(State(box), BST_CHECKED);

    // Stored as REG_SZ without a terminator.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kAutostartKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    RegQueryValueExW(key, kAutostartValueName, nullptr, &type, nullptr, &size);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, Quoted(app).size() * sizeof(wchar_t));
}

TEST_F(AutostartE2e, UntickingDeletesTheValueWhateverItHeld) {
    Store(L"\"C:\\Inny katalog\\Czasomir.exe\" /auto");  // another copy's registration
    e2e::Launch launch;
    launch.folderName = kFolder;
    e2e::App app(launch);
    HWND box = app.control(Check1());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(State(box), BST_UNCHECKED);
    app.click(Check1());  // takes the registration over
    EXPECT_TRUE(e2e::WaitUntil([&] { return Stored() == Quoted(app); }, 5000));
    Store(L"C:\\Jeszcze inny\\Czasomir.exe /auto");  // changed behind the program's back
    app.click(Check1());
    EXPECT_TRUE(e2e::WaitUntil([&] { return !Stored().has_value(); }, 5000)) << Stored().value_or(L"");
    EXPECT_EQ(State(box), BST_UNCHECKED);
}

}  // namespace
