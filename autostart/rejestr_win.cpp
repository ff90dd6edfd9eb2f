// Rejestr over the Win32 registry. Each call opens its own key, asking only
// for the access it needs, and closes it on every way out.
#include <windows.h>

#include <limits>
#include <vector>

#include "autostart/rejestr.h"

namespace czasomir {

namespace {

// The predefined roots are 32-bit values sign-extended into a handle, as the
// HKEY_* macros do it.
HKEY RootHandle(RegistryRoot root) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

class Key {
public:
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() {
        if (handle_) RegCloseKey(handle_);
    }
    HKEY* out() { return &handle_; }
    HKEY get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    HKEY handle_ = nullptr;
};

class WindowsRejestr final : public Rejestr {
public:
    std::optional<std::wstring> ReadStringValue(RegistryRoot root, const std::wstring& keyPath,
                                                const std::wstring& valueName) override {
        Key key;
        RegOpenKeyW(RootHandle(root), keyPath.c_str(), key.out());
        if (!key) return std::nullopt;

        DWORD type = 0;
        DWORD size = 0;
        RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size);
        if (type != REG_SZ) return std::nullopt;

        // Room for every byte, an odd last one included.
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
        DWORD dataType = 0;
        const LONG status = RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &dataType,
                                             reinterpret_cast<BYTE*>(buffer.data()), &size);
        if (status != ERROR_SUCCESS || dataType != REG_SZ) return std::nullopt;

        // Whole characters only (an odd last byte is no character); cut at the first NUL.
        const wchar_t* data = buffer.data();
        std::wstring text(data, data + size / sizeof(wchar_t));
        if (const auto nul = text.find(L'\0'); nul != std::wstring::npos) text.resize(nul);
        return text;
    }

    RegistryResult WriteStringValue(RegistryRoot root, const std::wstring& keyPath, const std::wstring& valueName,
                                    const std::wstring& text) override {
        Key key;
        LONG status = RegCreateKeyExW(RootHandle(root), keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                      key.out(), nullptr);
        if (!key) return Result(status);
        // Stored without a terminator: the reader takes data with or without one.
        // RegSetValueExW counts a NUL that follows the given bytes in memory as
        // the forgotten terminator and stores it too, so the copy handed over
        // is followed by a character that is not NUL.
        if (text.size() >= std::numeric_limits<DWORD>::max() / sizeof(wchar_t)) return RegistryResult::Failed;
        std::vector<wchar_t> data(text.begin(), text.end());
        data.push_back(L'\xFFFF');
        status = RegSetValueExW(key.get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.data()),
                                static_cast<DWORD>(text.size() * sizeof(wchar_t)));
        return Result(status);
    }

    std::optional<std::vector<std::uint8_t>> ReadBinaryValue(RegistryRoot root, const std::wstring& keyPath,
                                                             const std::wstring& valueName) override {
        Key key;
        RegOpenKeyExW(RootHandle(root), keyPath.c_str(), 0, KEY_QUERY_VALUE, key.out());
        if (!key) return std::nullopt;
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            type != REG_BINARY)
            return std::nullopt;
        std::vector<std::uint8_t> bytes(size);
        const LONG status =
            RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, bytes.data(), &size);
        if (status != ERROR_SUCCESS || type != REG_BINARY) return std::nullopt;
        bytes.resize(size);
        return bytes;
    }

    RegistryResult WriteBinaryValue(RegistryRoot root, const std::wstring& keyPath, const std::wstring& valueName,
                                    const std::vector<std::uint8_t>& bytes) override {
        Key key;
        const LONG status = RegCreateKeyExW(RootHandle(root), keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                            key.out(), nullptr);
        if (!key) return Result(status);
        if (bytes.size() > std::numeric_limits<DWORD>::max()) return RegistryResult::Failed;
        return Result(RegSetValueExW(key.get(), valueName.c_str(), 0, REG_BINARY, bytes.data(),
                                     static_cast<DWORD>(bytes.size())));
    }

    RegistryResult DeleteValue(RegistryRoot root, const std::wstring& keyPath,
                               const std::wstring& valueName) override {
        Key key;
        LONG status = RegOpenKeyExW(RootHandle(root), keyPath.c_str(), 0, KEY_SET_VALUE, key.out());
        if (status == ERROR_ACCESS_DENIED && !ValueExists(root, keyPath, valueName))
            return RegistryResult::Done;  // no right to delete, but nothing to delete either
        if (key) status = RegDeleteValueW(key.get(), valueName.c_str());
        return status == ERROR_FILE_NOT_FOUND ? RegistryResult::Done : Result(status);
    }

private:
    static RegistryResult Result(LONG status) {
        if (status == ERROR_SUCCESS) return RegistryResult::Done;
        return status == ERROR_ACCESS_DENIED ? RegistryResult::AccessDenied : RegistryResult::Failed;
    }

    // Whether the value exists, of whatever type, as far as it can be read.
    static bool ValueExists(RegistryRoot root, const std::wstring& keyPath, const std::wstring& valueName) {
        Key key;
        if (RegOpenKeyExW(RootHandle(root), keyPath.c_str(), 0, KEY_QUERY_VALUE, key.out()) != ERROR_SUCCESS)
            return true;  // cannot tell: take it as there
        return RegQueryValueExW(key.get(), valueName.c_str(), nullptr, nullptr, nullptr, nullptr) !=
               ERROR_FILE_NOT_FOUND;
    }
};

}  // namespace

std::unique_ptr<Rejestr> MakeWindowsRejestr() { return std::make_unique<WindowsRejestr>(); }

}  // namespace czasomir
