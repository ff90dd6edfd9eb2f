// What the unit tests share: a fresh folder (blanks, Polish letters and U+0080,
// the first character of two bytes in UTF-8, in its name), file bytes and a
// main window on the headless platform.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <random>
#include <string>

#include "tests/support/headless.h"
#include "tests/support/memory_rejestr.h"
#include "ui/main/form1.h"

namespace czasomir::test {

namespace fs = std::filesystem;

struct TestDir {
    fs::path path = fs::temp_directory_path() / (fs::path(u8"Czasomir próba zażółć \u0080 ") += std::to_string(std::random_device{}()));
    TestDir() { fs::create_directories(path); }
    ~TestDir() { std::error_code ignored; fs::remove_all(path, ignored); }
    fs::path operator/(const char* name) const { return path / name; }
};

// A path as the program takes it: native text on Windows, decoded UTF-8 elsewhere.
inline std::wstring Wide(const fs::path& path) {
    const std::u32string text = path.u32string();
    return std::wstring(text.begin(), text.end());
}

inline std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void Write(const fs::path& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }

// The program started at 10:00:00 from a fresh folder, with a local application data folder of its own.
struct MainWindow {
    TestDir dir, local;
    tk::HeadlessPlatform platform;
    MemoryRejestr registry;
    std::unique_ptr<Form1> form;

    explicit MainWindow(std::wstring arguments = L"") {
        platform.appDirectory = dir.path;
        platform.localAppData = local.path;
        platform.argumentText = std::move(arguments);
    }
    Form1& Start(std::optional<std::string> czasDat = std::nullopt) {
        if (czasDat) Write(dir / "czas.dat", *czasDat);
        form = std::make_unique<Form1>(platform, registry);
        platform.Run(*form);
        return *form;
    }
    std::string Saved() const { return Read(dir / "czas.dat"); }
    const std::wstring& Display() const { return form->Label1.caption(); }
    int TrayCalls(tk::TrayOp op) const { return static_cast<int>(std::ranges::count(platform.trayCalls, op, &tk::HeadlessPlatform::TrayCall::op)); }
    // The icon as the shell last got the field(s) `flags` names.
    tk::TrayIcon LastTray(unsigned flags) const {
        for (auto call = platform.trayCalls.rbegin(); call != platform.trayCalls.rend(); ++call)
            if (call->op != tk::TrayOp::Delete && (call->icon.flags & flags)) return call->icon;
        return {};
    }
};

}  // namespace czasomir::test
