// Takes the right to set values on a registry key from everyone, with a DACL
// that denies KEY_SET_VALUE (as a standard user meets HKEY_LOCAL_MACHINE), and
// gives everyone every right again when it goes, a failed test included (the
// keys it is used on are the tests' own, or the test prefix's).
#pragma once

#include <windows.h>
#include <sddl.h>

namespace czasomir::test {

class SetValueDenied {
public:
    SetValueDenied(HKEY root, const wchar_t* path) : locked_(Set(root, path, L"D:(D;;0x2;;;WD)(A;;KA;;;WD)")), root_(root), path_(path) {}
    ~SetValueDenied() { Set(root_, path_, L"D:(A;;KA;;;WD)"); }
    bool locked() const { return locked_; }

private:
    static bool Set(HKEY root, const wchar_t* path, const wchar_t* sddl) {
        HKEY key = nullptr;
        PSECURITY_DESCRIPTOR dacl = nullptr;
        const bool done = RegOpenKeyExW(root, path, 0, WRITE_DAC, &key) == ERROR_SUCCESS &&
                          ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &dacl, nullptr) &&
                          RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, dacl) == ERROR_SUCCESS;
        LocalFree(dacl);
        if (key) RegCloseKey(key);
        return done;
    }
    bool locked_;
    HKEY root_;
    const wchar_t* path_;
};

}  // namespace czasomir::test
