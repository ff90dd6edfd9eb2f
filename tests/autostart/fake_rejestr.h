// An in-memory registry for the autostart tests: it can refuse writes and
// deletes (as HKEY_LOCAL_MACHINE does without administrator rights) and it
// counts every call.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "autostart/rejestr.h"

namespace czasomir::test {

class FakeRejestr : public Rejestr {
public:
    using Place = std::tuple<RegistryRoot, std::wstring, std::wstring>;

    std::map<Place, std::wstring> values;
    bool refuseWrites = false;
    bool refuseDeletes = false;
    RegistryResult refusal = RegistryResult::AccessDenied;  // what a refused call answers
    int reads = 0;
    std::vector<std::wstring> written;  // the text of every write, refused ones too
    int deletes = 0;
    std::vector<Place> places;  // where every call went

    std::optional<std::wstring> ReadStringValue(RegistryRoot root, const std::wstring& keyPath,
                                                const std::wstring& valueName) override {
        ++reads;
        places.emplace_back(root, keyPath, valueName);
        auto it = values.find({root, keyPath, valueName});
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    RegistryResult WriteStringValue(RegistryRoot root, const std::wstring& keyPath, const std::wstring& valueName,
                                    const std::wstring& text) override {
        written.push_back(text);
        places.emplace_back(root, keyPath, valueName);
        if (refuseWrites) return refusal;
        values[{root, keyPath, valueName}] = text;
        return RegistryResult::Done;
    }
    RegistryResult DeleteValue(RegistryRoot root, const std::wstring& keyPath,
                               const std::wstring& valueName) override {
        ++deletes;
        places.emplace_back(root, keyPath, valueName);
        if (refuseDeletes) return refusal;
        values.erase({root, keyPath, valueName});
        return RegistryResult::Done;
    }
};

}  // namespace czasomir::test
