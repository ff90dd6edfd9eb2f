#include "platform/command_line.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kExe[] = L"C:\\Program Files\\Czasomir\\Czasomir.exe";

TEST(ArgumentsAfterProgram, QuotedPathLosesItsQuotesAndTheBlanksAfterIt) {
    EXPECT_EQ(tk::ArgumentsAfterProgram(L"\"C:\\Program Files\\Czasomir\\Czasomir.exe\" /auto", kExe), L"/auto");
    EXPECT_EQ(tk::ArgumentsAfterProgram(L"\"C:\\Program Files\\Czasomir\\Czasomir.exe\"   /auto", kExe), L"/auto");
    EXPECT_EQ(tk::ArgumentsAfterProgram(L"\"C:\\Program Files\\Czasomir\\Czasomir.exe\"", kExe), L"");
    EXPECT_EQ(tk::ArgumentsAfterProgram(L"\"C:\\Program Files\\Czasomir\\Czasomir.exe\" ", kExe), L"");
}

TEST(ArgumentsAfterProgram, UnquotedPathWithBlanksIsMatchedAgainstTheModule) {
    EXPECT_EQ(tk::ArgumentsAfterProgram(L"C:\\Program Files\\Czasomir\\Czasomir.exe /auto", kExe), L"/auto");
    EXPECT_EQ(tk::ArgumentsAfterProgram(L"c:\\PROGRAM FILES\\czasomir\\CZASOMIR.EXE /auto", kExe), L"/auto");
    EXPECT_EQ(tk::ArgumentsAfterProgram(L"C:\\Program Files\\Czasomir\\Czasomir.exe", kExe), L"");
    EXPECT_EQ(tk::ArgumentsAfterProgram(L"C:\\Program Files\\Czasomir\\Czasomir.exe\t/auto", kExe), L"/auto");
}

TEST(ArgumentsAfterProgram, PathNotMatchingTheModuleEndsAtTheFirstBlank) {
    EXPECT_EQ(tk::ArgumentsAfterProgram(L"Czasomir.exe /auto", kExe), L"/auto");
    EXPECT_EQ(tk::ArgumentsAfterProgram(L"C:\\Other Dir\\Czasomir.exe /auto", kExe), L"Dir\\Czasomir.exe /auto");
    // The module's path as a prefix of a longer name is not the module.
    EXPECT_EQ(tk::ArgumentsAfterProgram(L"C:\\Program Files\\Czasomir\\Czasomir.exex /auto", kExe),
              L"Files\\Czasomir\\Czasomir.exex /auto");
    EXPECT_EQ(tk::ArgumentsAfterProgram(L"", kExe), L"");
    EXPECT_EQ(tk::ArgumentsAfterProgram(L"Czasomir.exe /auto", L""), L"/auto");
}

TEST(ArgumentsAfterProgram, ArgumentsAreKeptExactly) {
    const std::wstring quoted = L"\"C:\\Program Files\\Czasomir\\Czasomir.exe\" ";
    EXPECT_EQ(tk::ArgumentsAfterProgram(quoted + L"/AUTO", kExe), L"/AUTO");
    EXPECT_EQ(tk::ArgumentsAfterProgram(quoted + L"/auto x", kExe), L"/auto x");
    EXPECT_EQ(tk::ArgumentsAfterProgram(quoted + L"/auto ", kExe), L"/auto ");
    EXPECT_EQ(tk::ArgumentsAfterProgram(quoted + L"\"/auto\"", kExe), L"\"/auto\"");
    EXPECT_EQ(tk::ArgumentsAfterProgram(std::wstring(kExe) + L" /auto  ", kExe), L"/auto  ");
}

TEST(ArgumentsAfterProgram, UnclosedQuoteTakesTheWholeLineAsTheProgram) {
    EXPECT_EQ(tk::ArgumentsAfterProgram(L"\"C:\\Program Files\\Czasomir\\Czasomir.exe /auto", kExe), L"");
}

}  // namespace
