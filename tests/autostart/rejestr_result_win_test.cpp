// What the Windows Rejestr's write and delete report, in a scratch key under
// HKEY_CURRENT_USER that a DACL closes for a while.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "autostart/rejestr.h"
#include "set_value_denied_win.h"

namespace czasomir {
namespace {

TEST(RejestrResults, DoneRefusedOrNothingToDelete) {
    std::random_device random;
    const std::wstring key = L"Software\\CzasomirTest wynik " + std::to_wstring(random());
    auto registry = MakeWindowsRejestr();
    using R = RegistryResult;
    EXPECT_EQ(registry->WriteStringValue(kHkeyCurrentUser, key, L"v", L"tekst"), R::Done);
    EXPECT_EQ(registry->DeleteValue(kHkeyCurrentUser, key, L"brak"), R::Done);
    EXPECT_EQ(registry->DeleteValue(kHkeyCurrentUser, key + L"\\brak", L"v"), R::Done);
    {
        test::SetValueDenied lock(HKEY_CURRENT_USER, key.c_str());
        ASSERT_TRUE(lock.locked());
        EXPECT_EQ(registry->WriteStringValue(kHkeyCurrentUser, key, L"v", L"inny"), R::AccessDenied);
        EXPECT_EQ(registry->DeleteValue(kHkeyCurrentUser, key, L"v"), R::AccessDenied);
        EXPECT_EQ(registry->DeleteValue(kHkeyCurrentUser, key, L"brak"), R::Done);  // nothing to delete anyway
        EXPECT_EQ(registry->ReadStringValue(kHkeyCurrentUser, key, L"v"), L"tekst");
    }
    EXPECT_EQ(registry->DeleteValue(kHkeyCurrentUser, key, L"v"), R::Done);
    EXPECT_EQ(registry->ReadStringValue(kHkeyCurrentUser, key, L"v"), std::nullopt);
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}

}  // namespace
}  // namespace czasomir
