#include "autostart/autostart.h"

namespace czasomir {

namespace {

std::wstring ExePath(const std::wstring& appDirectory, const std::wstring& exeName) {
    return appDirectory + L"\\" + exeName + L".exe";
}

#ifndef _WIN32
// UTF-8 to UTF-32 (wchar_t is 32 bits here); a malformed sequence gives U+FFFD.
std::wstring DecodeUtf8(const std::u8string& bytes) {
    constexpr wchar_t kReplacement = 0xFFFD;
    std::wstring text;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned lead = bytes[i];
        std::size_t extra;
        char32_t code, least;
        if (lead < 0x80) {
            extra = 0, code = lead, least = 0;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1, code = lead & 0x1F, least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2, code = lead & 0x0F, least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3, code = lead & 0x07, least = 0x10000;
        } else {
            text.push_back(kReplacement);
            ++i;
            continue;
        }
        std::size_t n = 1;
        while (n <= extra && i + n < bytes.size() && (static_cast<unsigned>(bytes[i + n]) & 0xC0) == 0x80) {
            code = (code << 6) | (static_cast<unsigned>(bytes[i + n]) & 0x3F);
            ++n;
        }
        const bool whole = n == extra + 1;
        const bool valid = whole && code >= least && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
        text.push_back(valid ? static_cast<wchar_t>(code) : kReplacement);
        i += n;
    }
    return text;
}
#endif

}  // namespace

std::wstring DirectoryText(const std::filesystem::path& directory) {
#ifdef _WIN32
    return directory.native();
#else
    return DecodeUtf8(directory.u8string());
#endif
}

std::wstring AutostartCommand(const std::wstring& appDirectory, const std::wstring& exeName) {
    return L"\"" + ExePath(appDirectory, exeName) + L"\" /auto";
}

std::wstring UnquotedAutostartCommand(const std::wstring& appDirectory, const std::wstring& exeName) {
    return ExePath(appDirectory, exeName) + L" /auto";
}

bool IsAutostartRegistration(const std::wstring& runEntry, const std::wstring& appDirectory,
                             const std::wstring& exeName) {
    return runEntry == AutostartCommand(appDirectory, exeName) ||
           runEntry == UnquotedAutostartCommand(appDirectory, exeName);
}

}  // namespace czasomir
