#include "autostart/autostart.h"

#include <gtest/gtest.h>

#include <string>

namespace czasomir {
namespace {

TEST(AutostartCommand, QuotesThePathAndAddsTheSwitch) {
    EXPECT_EQ(AutostartCommand(L"C:\\Tools\\Timer", L"Czasomir"), L"\"C:\\Tools\\Timer\\Czasomir.exe\" /auto");
    EXPECT_EQ(AutostartCommand(L"C:\\Program Files\\Mój czas", L"Czasomir"),
              L"\"C:\\Program Files\\Mój czas\\Czasomir.exe\" /auto");
    EXPECT_EQ(AutostartCommand(L"D:\\x", L"Inna nazwa"), L"\"D:\\x\\Inna nazwa.exe\" /auto");
}

TEST(AutostartCommand, AlwaysInsertsTheSeparator) {
    EXPECT_EQ(AutostartCommand(L"C:\\", L"Czasomir"), L"\"C:\\\\Czasomir.exe\" /auto");
    EXPECT_EQ(UnquotedAutostartCommand(L"C:\\", L"Czasomir"), L"C:\\\\Czasomir.exe /auto");
    EXPECT_EQ(AutostartCommand(L"\\\\serwer\\udział", L"Czasomir"), L"\"\\\\serwer\\udział\\Czasomir.exe\" /auto");
}

TEST(AutostartCommand, TheOlderFormHasNoQuotes) {
    EXPECT_EQ(UnquotedAutostartCommand(L"C:\\Program Files\\Timer", L"Czasomir"),
              L"C:\\Program Files\\Timer\\Czasomir.exe /auto");
}

TEST(IsAutostartRegistration, AcceptsBothFormsExactly) {
    const std::wstring dir = L"C:\\Program Files\\Timer";
    EXPECT_TRUE(IsAutostartRegistration(L"\"C:\\Program Files\\Timer\\Czasomir.exe\" /auto", dir, L"Czasomir"));
    EXPECT_TRUE(IsAutostartRegistration(L"C:\\Program Files\\Timer\\Czasomir.exe /auto", dir, L"Czasomir"));

    const std::wstring others[] = {
        L"",
        L"\"c:\\Program Files\\Timer\\Czasomir.exe\" /auto",   // letter case
        L"\"C:\\Program Files\\Timer\\Czasomir.exe\" /AUTO",
        L"\"C:\\Program Files\\Timer\\Czasomir.EXE\" /auto",
        L"\"C:\\Program Files\\Timer\\Czasomir.exe\"  /auto",  // blanks
        L"\"C:\\Program Files\\Timer\\Czasomir.exe\" /auto ",
        L" \"C:\\Program Files\\Timer\\Czasomir.exe\" /auto",
        L"C:\\Program Files\\Timer\\Czasomir.exe  /auto",
        L"\"C:\\Program Files\\Timer\\Czasomir.exe /auto\"",   // quotes elsewhere
        L"\"C:\\Program Files\\Timer\\Czasomir.exe\"/auto",
        L"\"C:\\Program Files\\Timer\\Czasomir.exe\"",         // no switch
        L"C:\\Program Files\\Timer\\Czasomir.exe",
        L"\"C:\\Program Files\\Timer\\Czasomir.exe\" -auto",
        L"\"C:\\Program Files\\Timer\\\\Czasomir.exe\" /auto",  // another path
        L"\"C:\\Program Files\\Inny\\Czasomir.exe\" /auto",
        L"\"C:\\Program Files\\Timer\\Czasomir2.exe\" /auto",
        std::wstring(L"\"C:\\Program Files\\Timer\\Czasomir.exe\" /auto") + L'\0',  // a NUL kept in the text
    };
    for (const auto& other : others) EXPECT_FALSE(IsAutostartRegistration(other, dir, L"Czasomir")) << other;
}

}  // namespace
}  // namespace czasomir
