// What the unit tests share: a fresh folder (blanks and Polish letters in its
// name), file bytes, an in-memory registry and a main window on the headless platform.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

#include "tests/support/headless.h"
#include "ui/main/form1.h"

namespace czasomir::test {

namespace fs = std::filesystem;

struct TestDir {
    fs::path path = fs::temp_directory_path() / (fs::path(u8"Czasomir próba zażółć ") += std::to_string(std::random_device{}()));
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

// Refuses writes and deletes on request, as HKEY_LOCAL_MACHINE does without administrator rights (every root, or
// only refusingRoot). A value is text (REG_SZ) or bytes (REG_BINARY).
struct MemoryRejestr : Rejestr {
    using Name = std::tuple<RegistryRoot, std::wstring, std::wstring>;
    using Value = std::variant<std::wstring, std::vector<std::uint8_t>>;
    std::map<Name, Value> values;
    RegistryResult refusal = RegistryResult::Done;  // what writes and deletes answer; Done: they happen
    RegistryRoot refusingRoot = 0;
    template <class T>
    std::optional<T> Read(const Name& name) const {
        const auto i = values.find(name);
        return i != values.end() && std::holds_alternative<T>(i->second) ? std::optional(std::get<T>(i->second)) : std::nullopt;
    }
    std::optional<std::wstring> ReadStringValue(RegistryRoot r, const std::wstring& k, const std::wstring& n) override { return Read<std::wstring>({r, k, n}); }
    std::optional<std::vector<std::uint8_t>> ReadBinaryValue(RegistryRoot r, const std::wstring& k, const std::wstring& n) override {
        return Read<std::vector<std::uint8_t>>({r, k, n});
    }
    RegistryResult WriteStringValue(RegistryRoot r, const std::wstring& k, const std::wstring& n, const std::wstring& t) override { return Change({r, k, n}, t); }
    RegistryResult WriteBinaryValue(RegistryRoot r, const std::wstring& k, const std::wstring& n, const std::vector<std::uint8_t>& b) override {
        return Change({r, k, n}, b);
    }
    RegistryResult DeleteValue(RegistryRoot r, const std::wstring& k, const std::wstring& n) override { return Change({r, k, n}, {}); }
    RegistryResult Change(const Name& name, const std::optional<Value>& value) {
        const RegistryResult result = refusingRoot && std::get<0>(name) != refusingRoot ? RegistryResult::Done : refusal;
        if (result == RegistryResult::Done) value ? void(values[name] = *value) : void(values.erase(name));
        return result;
    }
};

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
    int TrayCalls(tk::TrayOp op) const {
        int n = 0;
        for (const auto& call : platform.trayCalls) n += call.op == op;
        return n;
    }
    // The icon as the shell last got the field(s) `flags` names.
    tk::TrayIcon LastTray(unsigned flags) const {
        for (auto call = platform.trayCalls.rbegin(); call != platform.trayCalls.rend(); ++call)
            if (call->op != tk::TrayOp::Delete && (call->icon.flags & flags)) return call->icon;
        return {};
    }
};

}  // namespace czasomir::test
