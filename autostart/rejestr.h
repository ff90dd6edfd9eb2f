// Registry string and binary values: read, write (creating the key) and delete.
// A read that cannot deliver text delivers nothing; a write or a delete says
// whether it happened, and tells a refusal for lack of rights from other failures.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace czasomir {

using RegistryRoot = std::uint32_t;

enum class RegistryResult {
    Done,
    AccessDenied,  // refused for lack of rights (ERROR_ACCESS_DENIED)
    Failed,        // any other failure
};
inline constexpr RegistryRoot kHkeyCurrentUser = 0x80000001u;
inline constexpr RegistryRoot kHkeyLocalMachine = 0x80000002u;

class Rejestr {
public:
    virtual ~Rejestr() = default;
    // The REG_SZ value's text up to its first NUL; nothing when the key or value
    // is missing, not readable, or not REG_SZ. Empty text is a text, not nothing.
    virtual std::optional<std::wstring> ReadStringValue(RegistryRoot root, const std::wstring& keyPath,
                                                        const std::wstring& valueName) = 0;
    // Stores text as REG_SZ, creating the key when missing.
    virtual RegistryResult WriteStringValue(RegistryRoot root, const std::wstring& keyPath,
                                            const std::wstring& valueName, const std::wstring& text) = 0;
    // The REG_BINARY value's bytes; nothing when the key or value is missing, not
    // readable, or of another type.
    virtual std::optional<std::vector<std::uint8_t>> ReadBinaryValue(RegistryRoot root, const std::wstring& keyPath,
                                                                     const std::wstring& valueName) = 0;
    // Stores the bytes as REG_BINARY, creating the key when missing.
    virtual RegistryResult WriteBinaryValue(RegistryRoot root, const std::wstring& keyPath,
                                            const std::wstring& valueName, const std::vector<std::uint8_t>& bytes) = 0;
    // A value (or key) that is not there counts as deleted.
    virtual RegistryResult DeleteValue(RegistryRoot root, const std::wstring& keyPath,
                                       const std::wstring& valueName) = 0;
};

// The Windows registry (rejestr_win.cpp).
std::unique_ptr<Rejestr> MakeWindowsRejestr();

}  // namespace czasomir
