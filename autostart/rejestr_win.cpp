// Rejestr over the Win32 registry. Each call opens its own key and closes it
// on every way out; no status but the data query's decides a result.
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

    void WriteStringValue(RegistryRoot root, const std::wstring& keyPath, const std::wstring& valueName,
                          const std::wstring& text) override {
        Key key;
        RegCreateKeyW(RootHandle(root), keyPath.c_str(), key.out());
        if (!key) return;
        // Stored without a terminator: the reader takes data with or without one.
        // RegSetValueExW counts a NUL that follows the given bytes in memory as
        // the forgotten terminator and stores it too, so the copy handed over
        // is followed by a character that is not NUL.
        if (text.size() >= std::numeric_limits<DWORD>::max() / sizeof(wchar_t)) return;
        std::vector<wchar_t> data(text.begin(), text.end());
        data.push_back(L'\xFFFF');
        RegSetValueExW(key.get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.data()),
                       static_cast<DWORD>(text.size() * sizeof(wchar_t)));
    }

    void DeleteValue(RegistryRoot root, const std::wstring& keyPath, const std::wstring& valueName) override {
        Key key;
        RegOpenKeyW(RootHandle(root), keyPath.c_str(), key.out());
        if (!key) return;
        RegDeleteValueW(key.get(), valueName.c_str());
    }
};

}  // namespace

std::unique_ptr<Rejestr> MakeWindowsRejestr() { return std::make_unique<WindowsRejestr>(); }

}  // namespace czasomir
