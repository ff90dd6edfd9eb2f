// A fresh directory for one test, named with blanks and Polish letters, and
// the few file helpers the tests share.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace czasomir::test {

class TestDir {
public:
    TestDir() {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() / std::filesystem::path(u8"Czasomir próba zażółć");
        path_ += " " + std::to_string(random()) + "-" + std::to_string(random());
        std::filesystem::create_directories(path_);
    }
    ~TestDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TestDir(const TestDir&) = delete;
    TestDir& operator=(const TestDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// A path's text as the program takes directories and files: the native text
// on Windows, the UTF-8 name decoded elsewhere, whatever the C library's locale.
inline std::wstring Wide(const std::filesystem::path& path) {
#ifdef _WIN32
    return path.wstring();
#else
    const std::u32string text = path.u32string();
    return std::wstring(text.begin(), text.end());
#endif
}

// The path named by such a text.
inline std::filesystem::path PathOf(const std::wstring& text) {
#ifdef _WIN32
    return std::filesystem::path(text);
#else
    return std::filesystem::path(std::u32string(text.begin(), text.end()));
#endif
}

// The whole content, or nothing when the file cannot be opened.
inline std::optional<std::string> TryReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in.is_open()) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string ReadBytes(const std::filesystem::path& file) {
    return TryReadBytes(file).value_or("");
}

inline void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace czasomir::test
