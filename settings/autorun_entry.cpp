#include "settings/autorun_entry.h"

#include "app/command_line.h"
#include "base/owned_handle.h"
#include "settings/settings_texts.h"

#include <windows.h>

#include <cwchar>
#include <optional>
#include <string>

namespace {

using OwnedKey = OwnedHandle<HKEY, [](HKEY key) { RegCloseKey(key); }>;

// With the access the user has: a user who may only read the machine-wide key gets it for
// reading, and a change is refused later with ERROR_ACCESS_DENIED.
OwnedKey OpenRunKey(LSTATUS* status = nullptr) {
    HKEY key = nullptr;
    const LSTATUS opened = RegOpenKeyW(HKEY_LOCAL_MACHINE, kRunKeyPath, &key);
    if (status)
        *status = opened;
    if (opened != ERROR_SUCCESS)
        return OwnedKey();
    return OwnedKey(key);
}

bool ValueExists(HKEY key, const wchar_t* name) {
    DWORD type = 0;
    return RegQueryValueExW(key, name, nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS;
}

// The present data of a string value, whatever its length; nullopt when there is no string
// value of this name.
std::optional<std::wstring> ReadStringValue(HKEY key, const wchar_t* name) {
    for (;;) {
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            return std::nullopt;
        std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
        DWORD read = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        const LSTATUS status = RegQueryValueExW(key, name, nullptr, &type,
                                                reinterpret_cast<BYTE*>(data.data()), &read);
        if (status == ERROR_MORE_DATA)
            continue; // it grew in the meantime
        if (status != ERROR_SUCCESS)
            return std::nullopt;
        data.resize(wcsnlen(data.c_str(), read / sizeof(wchar_t)));
        return data;
    }
}

LSTATUS WriteStringValue(HKEY key, const wchar_t* name, const wchar_t* text) {
    const DWORD bytes = static_cast<DWORD>((std::wcslen(text) + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes);
}

// The registry's answer to SetAutoRunEntry.
LSTATUS ChangeRunValue(const wchar_t* name, const wchar_t* text, bool set) {
    if (!name || (set && (!text || !*text)))
        return ERROR_INVALID_PARAMETER;
    LSTATUS status = ERROR_SUCCESS;
    const OwnedKey key = OpenRunKey(&status);
    if (!key)
        return status;
    if (!set) {
        if (!ValueExists(key.Get(), name))
            return ERROR_FILE_NOT_FOUND;
        return RegDeleteValueW(key.Get(), name);
    }
    const auto present = ReadStringValue(key.Get(), name);
    if (present && _wcsicmp(present->c_str(), text) == 0)
        return ERROR_SUCCESS;
    return WriteStringValue(key.Get(), name, text);
}

} // namespace

bool IsAutoRunRegistered(const wchar_t* name) {
    if (!name)
        return false;
    const OwnedKey key = OpenRunKey();
    return key && ValueExists(key.Get(), name);
}

bool SetAutoRunEntry(const wchar_t* name, const wchar_t* text, bool set) {
    const LSTATUS status = ChangeRunValue(name, text, set);
    SetLastError(static_cast<DWORD>(status));
    return status == ERROR_SUCCESS;
}

EntryOwner AutoRunOwner(const wchar_t* name) {
    const OwnedKey key = name ? OpenRunKey() : OwnedKey();
    if (!key || !ValueExists(key.Get(), name))
        return EntryOwner::Nobody;
    const auto command = ReadStringValue(key.Get(), name);
    return command && IsOwnIpCommandLine(command->c_str()) ? EntryOwner::ThisProgram
                                                           : EntryOwner::OtherProgram;
}

RunValueBackup::RunValueBackup(const wchar_t* name) : m_strName(name ? name : L"") {
    const OwnedKey key = OpenRunKey();
    for (DWORD size = 0; key;) {
        m_data.resize(size);
        const LSTATUS status = RegQueryValueExW(key.Get(), m_strName.c_str(), nullptr, &m_dwType,
                                                size ? m_data.data() : nullptr, &size);
        if (status == ERROR_SUCCESS && size <= m_data.size()) {
            m_data.resize(size);
            m_bExisted = true;
            return;
        }
        if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA)
            return;
    }
}

bool RunValueBackup::Restore() const {
    const OwnedKey key = OpenRunKey();
    if (!key)
        return false;
    if (!m_bExisted) {
        const LSTATUS status = RegDeleteValueW(key.Get(), m_strName.c_str());
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    }
    return RegSetValueExW(key.Get(), m_strName.c_str(), 0, m_dwType, m_data.data(),
                          static_cast<DWORD>(m_data.size())) == ERROR_SUCCESS;
}
