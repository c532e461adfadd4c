#pragma once

#include <windows.h>

#include <optional>
#include <string>

// For as long as it lives, this process sees HKEY_LOCAL_MACHINE as a scratch hive whose Run key
// it may read but not change, as a standard user sees the machine-wide key on Windows: opening
// the key succeeds, setting or deleting a value fails with ERROR_ACCESS_DENIED. The Run key's
// DACL grants everyone only reading (Wine checks a key's DACL once it was set on the key).
class ReadOnlyRunKey {
public:
    // The Run key holds one value of this name and text when given.
    explicit ReadOnlyRunKey(const std::wstring& name = L"", const std::wstring& text = L"");
    ~ReadOnlyRunKey();
    ReadOnlyRunKey(const ReadOnlyRunKey&) = delete;
    ReadOnlyRunKey& operator=(const ReadOnlyRunKey&) = delete;

    bool IsInPlace() const { return m_bInPlace; }
    // The text of a value of the scratch Run key, read past the override.
    std::optional<std::wstring> Value(const std::wstring& name) const;

private:
    std::wstring m_strRootPath;
    HKEY m_hRoot = nullptr;
    HKEY m_hRun = nullptr;
    bool m_bInPlace = false;
};
