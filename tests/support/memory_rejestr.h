// The registry in memory, standing in for Windows' own in the unit tests.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

#include "autostart/rejestr.h"

namespace czasomir::test {

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

}  // namespace czasomir::test
