// The autostart check box of the real exe against the machine's Run value
// (HKEY_LOCAL_MACHINE, writable under Wine), removed before and after.
#include <gtest/gtest.h>

#include "autostart/autostart.h"
#include "tests/e2e/harness.h"

namespace {

using namespace czasomir;
using e2e::Model;

struct RunValue {
    std::unique_ptr<Rejestr> registry = MakeWindowsRejestr();
    RunValue() { registry->DeleteValue(kAutostartRoot, kAutostartKey, kAutostartValueName); }
    ~RunValue() { registry->DeleteValue(kAutostartRoot, kAutostartKey, kAutostartValueName); }
    std::optional<std::wstring> Get() { return registry->ReadStringValue(kAutostartRoot, kAutostartKey, kAutostartValueName); }
};

LRESULT Box(e2e::Process& app) { return SendMessageW(app.control(Model().Check1), BM_GETCHECK, 0, 0); }

TEST(Autostart, TickingWritesTheQuotedCommandUntickingDeletesIt) {
    RunValue run;
    e2e::App app(std::nullopt, L"", L"Mój Czasomir z odstępami");
    ASSERT_NE(app.mainWindow(), nullptr);
    EXPECT_EQ(Box(app), BST_UNCHECKED);
    app.click(Model().Check1);
    EXPECT_EQ(run.Get(), e2e::Quoted(app.exe(), L"/auto"));
    EXPECT_EQ(Box(app), BST_CHECKED);
    DWORD type = 0, size = 0;
    RegGetValueW(HKEY_LOCAL_MACHINE, kAutostartKey, kAutostartValueName, RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, &size);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    app.click(Model().Check1);
    EXPECT_EQ(run.Get(), std::nullopt);
    EXPECT_EQ(Box(app), BST_UNCHECKED);
}

TEST(Autostart, AtStartupThisCopysCommandTicksTheBoxAndTheOlderFormIsRewrittenQuoted) {
    RunValue run;
    e2e::App placed(std::nullopt, L"", L"Mój Czasomir z odstępami");
    placed.kill();
    const std::wstring quoted = e2e::Quoted(placed.exe(), L"/auto");
    for (const std::wstring& stored : {quoted, placed.exe().wstring() + L" /auto"}) {
        run.registry->WriteStringValue(kAutostartRoot, kAutostartKey, kAutostartValueName, stored);
        e2e::Process app = placed.again(e2e::Quoted(placed.exe()));
        ASSERT_NE(app.mainWindow(), nullptr);
        EXPECT_EQ(Box(app), BST_CHECKED);
        EXPECT_EQ(run.Get(), quoted);
    }
}

}  // namespace
