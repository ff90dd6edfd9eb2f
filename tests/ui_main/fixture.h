// A main window on the headless platform, in a fresh folder, with an in-memory registry.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/headless.h"
#include "tests/storage/test_dir.h"
#include "ui/main/form1.h"

namespace czasomir::test {

class MemoryRejestr : public Rejestr {
public:
    std::map<std::wstring, std::wstring> values;  // "root\key\name" -> text
    int calls = 0;                                 // reads, writes and deletes
    std::optional<std::wstring> ReadStringValue(RegistryRoot root, const std::wstring& key,
                                                const std::wstring& name) override {
        ++calls;
        auto it = values.find(Path(root, key, name));
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    RegistryResult WriteStringValue(RegistryRoot root, const std::wstring& key, const std::wstring& name,
                                    const std::wstring& text) override {
        ++calls;
        values[Path(root, key, name)] = text;
        return RegistryResult::Done;
    }
    RegistryResult DeleteValue(RegistryRoot root, const std::wstring& key, const std::wstring& name) override {
        ++calls;
        values.erase(Path(root, key, name));
        return RegistryResult::Done;
    }

private:
    static std::wstring Path(RegistryRoot root, const std::wstring& key, const std::wstring& name) {
        return std::to_wstring(root) + L"\\" + key + L"\\" + name;
    }
};

struct MainWindow {
    TestDir dir;
    tk::HeadlessPlatform platform;
    MemoryRejestr registry;
    std::unique_ptr<Form1> form;

    explicit MainWindow(std::wstring arguments = L"") {
        platform.appDirectory = dir.path();
        platform.argumentText = std::move(arguments);
        platform.now = 10 * 3600;  // 10:00:00
    }
    // Starts the program with czas.dat holding `content` (none when nullopt).
    Form1& Start(std::optional<std::string> content = std::nullopt) {
        if (content) WriteBytes(File(), *content);
        form = std::make_unique<Form1>(platform, registry);
        platform.Run(*form);
        return *form;
    }
    std::filesystem::path File() const { return dir / "czas.dat"; }
    std::string Saved() const { return ReadBytes(File()); }
    const std::wstring& Display() const { return form->Label1.caption(); }
    int TrayCalls(tk::TrayOp op) const {
        int n = 0;
        for (const auto& call : platform.trayCalls) n += call.op == op;
        return n;
    }
};

}  // namespace czasomir::test
