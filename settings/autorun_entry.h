#pragma once

// The auto-start value under HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run.
// An empty name stands for the key's unnamed default value.

// True if a value of this name exists, whatever its type and data.
bool IsAutoRunRegistered(const wchar_t* name);

// With set, makes the value hold the text as REG_SZ (no write when it already holds the text in
// another letter case); without set, deletes the value. True on success; false for a null name,
// for setting a null or empty text, and for deleting a value that does not exist.
bool SetAutoRunEntry(const wchar_t* name, const wchar_t* text, bool set);
