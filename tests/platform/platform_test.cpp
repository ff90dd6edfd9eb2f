// The program's arguments split off its command line, as Windows hands it over.
#include <gtest/gtest.h>

#include "platform/command_line.h"

namespace {

TEST(ArgumentsAfterProgram, ThePathQuotedOrNotThenTheArgumentsExactly) {
    const std::wstring exe = L"C:\\Program Files\\Czasomir\\Czasomir.exe", quoted = L"\"" + exe + L"\"";
    const std::pair<std::wstring, const wchar_t*> cases[] = {
        {quoted + L"   /auto", L"/auto"}, {quoted, L""}, {quoted + L"/auto", L"/auto"}, {exe + L"\t/auto", L"/auto"},
        {L"c:\\PROGRAM FILES\\czasomir\\CZASOMIR.EXE /auto", L"/auto"}, {exe + L" /auto x ", L"/auto x "},
        {L"Czasomir.exe /AUTO", L"/AUTO"}, {L"C:\\Other Dir\\Czasomir.exe /auto", L"Dir\\Czasomir.exe /auto"},
        {L"C:\\Program Files\\Other\\Czasomir.exe /auto", L"Files\\Other\\Czasomir.exe /auto"},
        {exe + L"x /auto", L"Files\\Czasomir\\Czasomir.exex /auto"}, {quoted + L" \"/auto\"", L"\"/auto\""},
        {L"C:\\Program Files\\Czasomir\\Czasomir.exf /auto", L"Files\\Czasomir\\Czasomir.exf /auto"},
        {L"\"" + exe + L" /auto", L""}, {L"", L""}};
    for (const auto& [line, arguments] : cases) EXPECT_EQ(tk::ArgumentsAfterProgram(line, exe), arguments) << line;
}

}  // namespace
