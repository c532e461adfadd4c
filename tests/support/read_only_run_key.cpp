#include "tests/support/read_only_run_key.h"

#include <sddl.h>

namespace {

constexpr wchar_t kRunKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Everyone may read the key and delete it (for the clean-up); nobody may change its values.
constexpr wchar_t kReadOnlyDacl[] = L"D:P(A;;KRSD;;;WD)";

HKEY CreateVolatileKey(HKEY parent, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(parent, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

bool RestrictToReading(HKEY key) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kReadOnlyDacl, SDDL_REVISION_1,
                                                              &descriptor, nullptr))
        return false;
    const bool set = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
    LocalFree(descriptor);
    return set;
}

} // namespace

ReadOnlyRunKey::ReadOnlyRunKey(const std::wstring& name, const std::wstring& text)
    : m_strRootPath(L"Software\\VexloReadOnlyHive" + std::to_wstring(GetCurrentProcessId())) {
    m_hRoot = CreateVolatileKey(HKEY_CURRENT_USER, m_strRootPath);
    m_hRun = m_hRoot ? CreateVolatileKey(m_hRoot, kRunKeyPath) : nullptr;
    if (!m_hRun)
        return;
    if (!name.empty() &&
        RegSetValueExW(m_hRun, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
        return;
    m_bInPlace = RestrictToReading(m_hRun) &&
                 RegOverridePredefKey(HKEY_LOCAL_MACHINE, m_hRoot) == ERROR_SUCCESS;
}

ReadOnlyRunKey::~ReadOnlyRunKey() {
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    if (m_hRun)
        RegCloseKey(m_hRun);
    if (m_hRoot) {
        RegDeleteTreeW(m_hRoot, nullptr);
        RegCloseKey(m_hRoot);
        RegDeleteKeyW(HKEY_CURRENT_USER, m_strRootPath.c_str());
    }
}

std::optional<std::wstring> ReadOnlyRunKey::Value(const std::wstring& name) const {
    wchar_t data[1024] = {};
    DWORD size = sizeof data;
    if (!m_hRun || RegGetValueW(m_hRun, nullptr, name.c_str(), RRF_RT_REG_SZ, nullptr, data,
                                &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(data);
}
