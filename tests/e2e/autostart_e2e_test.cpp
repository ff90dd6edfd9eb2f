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

// Ticked: the quoted command as REG_SZ; at the next start an older unquoted
// form of it ticks the box and is written quoted; unticked: the value goes.
TEST(Autostart, TheBoxWritesRereadsAndDeletesTheRunValue) {
    RunValue run;
    e2e::App app(std::nullopt, L"", L"Mój Czasomir z odstępami");
    ASSERT_NE(app.mainWindow(), nullptr);
    EXPECT_EQ(Box(app), BST_UNCHECKED);
    app.click(Model().Check1);
    const std::wstring quoted = e2e::Quoted(app.exe(), L"/auto");
    EXPECT_EQ(run.Get(), quoted);
    EXPECT_EQ(Box(app), BST_CHECKED);
    DWORD type = 0;
    RegGetValueW(HKEY_LOCAL_MACHINE, kAutostartKey, kAutostartValueName, RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, nullptr);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    app.kill();
    run.registry->WriteStringValue(kAutostartRoot, kAutostartKey, kAutostartValueName, app.exe().wstring() + L" /auto");
    e2e::Process again = app.again(e2e::Quoted(app.exe()));
    ASSERT_NE(again.mainWindow(), nullptr);
    EXPECT_EQ(Box(again), BST_CHECKED);
    EXPECT_EQ(run.Get(), quoted);
    again.click(Model().Check1);
    EXPECT_EQ(run.Get(), std::nullopt);
    EXPECT_EQ(Box(again), BST_UNCHECKED);
}

}  // namespace
