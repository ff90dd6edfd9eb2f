// Takes the right to set values on a registry key from everyone, with a DACL
// that denies KEY_SET_VALUE (as a standard user meets HKEY_LOCAL_MACHINE), and
// gives the key its own DACL back when it goes, a failed test included.
#pragma once

#include <windows.h>
#include <sddl.h>

#include <vector>

namespace czasomir::test {

class SetValueDenied {
public:
    SetValueDenied(HKEY root, const wchar_t* path) {
        if (RegOpenKeyExW(root, path, 0, READ_CONTROL | WRITE_DAC, &key_) != ERROR_SUCCESS) return;
        DWORD size = 0;
        RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, nullptr, &size);
        saved_.resize(size);
        PSECURITY_DESCRIPTOR deny = nullptr;
        locked_ = RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, saved_.data(), &size) == ERROR_SUCCESS &&
                  ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(D;;0x2;;;WD)(A;;KA;;;WD)", SDDL_REVISION_1,
                                                                       &deny, nullptr) &&
                  RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, deny) == ERROR_SUCCESS;
        LocalFree(deny);
    }
    ~SetValueDenied() {
        if (locked_) RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, saved_.data());
        if (key_) RegCloseKey(key_);
    }
    bool locked() const { return locked_; }

private:
    HKEY key_ = nullptr;
    std::vector<BYTE> saved_;
    bool locked_ = false;
};

}  // namespace czasomir::test
