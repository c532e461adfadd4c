#pragma once
// The auto-start value under the machine-wide Run key.

#include "settings/entry_owner.h"

#include <windows.h>

#include <string>
#include <vector>

// The auto-start value under HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run.
// An empty name stands for the key's unnamed default value.

// True if a value of this name exists, whatever its type and data.
bool IsAutoRunRegistered(const wchar_t* name);

// With set, makes the value hold the text as REG_SZ (no write when it already holds the text in
// another letter case); without set, deletes the value. True on success. On failure the thread's
// last error says why: ERROR_INVALID_PARAMETER for a null name or for setting a null or empty
// text; ERROR_FILE_NOT_FOUND for deleting a value that does not exist (or when there is no Run
// key); otherwise what the registry refused with, such as ERROR_ACCESS_DENIED where the user may
// read the machine-wide key but not change it.
bool SetAutoRunEntry(const wchar_t* name, const wchar_t* text, bool set);

// ThisProgram when the value of this name holds this program's own auto-start command line
// (IsOwnIpCommandLine); OtherProgram for any other value, whatever its type.
EntryOwner AutoRunOwner(const wchar_t* name);

// The Run value of one name as it is now, of any type; Restore puts it back (or deletes a value
// that did not exist) when a change has to be undone. True when it is back.
class RunValueBackup {
public:
    explicit RunValueBackup(const wchar_t* name);
    bool Restore() const;

private:
    std::wstring m_strName;
    bool m_bExisted = false;
    DWORD m_dwType = REG_NONE;
    std::vector<BYTE> m_data;
};
