// The Run value: its command, and the check box that keeps showing what the registry holds.
#include <gtest/gtest.h>

#include "autostart/autostart.h"
#include "tests/support.h"

namespace czasomir::test {
namespace {

TEST(AutostartCommand, QuotedPathAndSwitchAndOnlyThoseTwoFormsCount) {
    EXPECT_EQ(AutostartCommand(L"C:\\Mój czas", L"Czasomir"), L"\"C:\\Mój czas\\Czasomir.exe\" /auto");
    EXPECT_EQ(AutostartCommand(L"C:\\", L"Inna nazwa"), L"\"C:\\\\Inna nazwa.exe\" /auto");
    const std::wstring dir = L"C:\\Program Files\\Timer", quoted = L"\"" + dir + L"\\Czasomir.exe\" /auto";
    EXPECT_TRUE(IsAutostartRegistration(quoted, dir, L"Czasomir"));
    EXPECT_TRUE(IsAutostartRegistration(dir + L"\\Czasomir.exe /auto", dir, L"Czasomir"));
    for (const std::wstring& other : {std::wstring(), quoted + L" ", L" " + quoted, quoted.substr(0, quoted.size() - 5),
                                      L"\"c" + quoted.substr(2), quoted.substr(0, quoted.size() - 4) + L"AUTO",
                                      L"\"" + dir + L"\\Czasomir.exe /auto\"", std::wstring(L"\"C:\\Inny\\Czasomir.exe\" /auto")})
        EXPECT_FALSE(IsAutostartRegistration(other, dir, L"Czasomir")) << other;
}

// What the Run value holds before the start and what the user does, against
// what the box and the value show afterwards.
struct Case {
    const char* name;
    std::optional<std::wstring> before;  // "$" stands for this copy's folder
    bool refuseWrites, refuseDeletes;
    int clicks;
    int box;
    std::optional<std::wstring> after;
};
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class AutostartBox : public ::testing::TestWithParam<Case> {};

TEST_P(AutostartBox, ShowsWhatTheRegistryHolds) {
    const Case& c = GetParam();
    MainWindow w;
    w.platform.exeName = L"Mój zegar";
    auto here = [&](std::optional<std::wstring> text) {
        if (text && text->find(L'$') != std::wstring::npos) text->replace(text->find(L'$'), 1, Wide(w.dir.path));
        return text;
    };
    const std::tuple<RegistryRoot, std::wstring, std::wstring> run{kHkeyLocalMachine,
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"CzasomirKR"};
    if (c.before) w.registry.values[run] = *here(c.before);
    w.registry.refuseWrites = c.refuseWrites;
    w.registry.refuseDeletes = c.refuseDeletes;
    Form1& f = w.Start();
    for (int i = 0; i < c.clicks; ++i) w.platform.Click(f.Check1);
    EXPECT_EQ(f.Check1.value(), c.box);
    auto it = w.registry.values.find(run);
    EXPECT_EQ(it == w.registry.values.end() ? std::nullopt : std::optional(it->second), here(c.after));
    EXPECT_EQ(w.registry.values.size(), c.after ? 1u : 0u);  // nothing written anywhere else
    EXPECT_LE(w.registry.writes + w.registry.deletes, c.clicks + 1);  // a refusal starts no second round
}

const std::wstring kQuoted = L"\"$\\Mój zegar.exe\" /auto", kOther = L"\"C:\\Inny\\Czasomir.exe\" /auto";

INSTANTIATE_TEST_SUITE_P(Cases, AutostartBox, ::testing::Values(
    Case{"NoValue", {}, false, false, 0, 0, {}},
    Case{"ThisCopy", kQuoted, false, false, 0, 1, kQuoted},
    Case{"OlderUnquotedFormIsRewrittenQuoted", L"$\\Mój zegar.exe /auto", false, false, 0, 1, kQuoted},
    Case{"OlderFormWithoutRights", L"$\\Mój zegar.exe /auto", true, true, 0, 1, L"$\\Mój zegar.exe /auto"},
    Case{"OtherLetterCase", L"\"$\\MÓJ ZEGAR.EXE\" /auto", false, false, 0, 0, L"\"$\\MÓJ ZEGAR.EXE\" /auto"},
    Case{"AnotherCopy", kOther, false, false, 0, 0, kOther},
    Case{"TickingStoresTheQuotedCommand", {}, false, false, 1, 1, kQuoted},
    Case{"TickingTakesOverAnotherCopy", kOther, false, false, 1, 1, kQuoted},
    Case{"UntickingDeletes", kQuoted, false, false, 1, 0, {}},
    Case{"TickAndUntick", kOther, false, false, 2, 0, {}},
    Case{"RefusedWriteUnticks", {}, true, false, 2, 0, {}},
    Case{"RefusedWriteLeavesAnotherCopy", kOther, true, false, 1, 0, kOther},
    Case{"RefusedDeleteTicksAgain", kQuoted, true, true, 1, 1, kQuoted}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AutostartBox, AFailingRegistryLeavesTheBoxUntickedAndStartupGoesOn) {
    struct Failing : MemoryRejestr {
        std::optional<std::wstring> ReadStringValue(RegistryRoot, const std::wstring&, const std::wstring&) override {
            throw std::runtime_error("registry unreadable");
        }
    };
    MainWindow w(L"/auto");
    Failing registry;
    Form1 f(w.platform, registry);
    w.platform.Run(f);
    EXPECT_EQ(f.Check1.value(), 0);
    EXPECT_EQ(f.Command1.caption(), L"Stop");
}

}  // namespace
}  // namespace czasomir::test
