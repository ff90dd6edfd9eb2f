#include "platform/command_line.h"

namespace tk {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

wchar_t AsciiUpper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool StartsWithPath(std::wstring_view text, std::wstring_view path) {
    if (path.empty() || text.size() < path.size()) return false;
    for (std::size_t i = 0; i < path.size(); ++i)
        if (AsciiUpper(text[i]) != AsciiUpper(path[i])) return false;
    return text.size() == path.size() || IsBlank(text[path.size()]);
}

// Where the program's name ends.
std::size_t ProgramEnd(std::wstring_view line, std::wstring_view exePath) {
    if (!line.empty() && line[0] == L'"') {
        std::size_t close = line.find(L'"', 1);
        return close == std::wstring_view::npos ? line.size() : close + 1;
    }
    if (StartsWithPath(line, exePath)) return exePath.size();
    std::size_t i = 0;
    while (i < line.size() && !IsBlank(line[i])) ++i;
    return i;
}

}  // namespace

std::wstring ArgumentsAfterProgram(std::wstring_view commandLine, std::wstring_view exePath) {
    std::size_t i = ProgramEnd(commandLine, exePath);
    while (i < commandLine.size() && IsBlank(commandLine[i])) ++i;
    return std::wstring(commandLine.substr(i));
}

}  // namespace tk
