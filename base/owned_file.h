#pragma once
// A file handle that its scope owns.

#include "base/owned_handle.h"

#include <windows.h>

// A file handle from CreateFileW (or any handle that CloseHandle releases); INVALID_HANDLE_VALUE
// is held as empty.
inline void CloseFile(HANDLE file) {
    CloseHandle(file);
}
using OwnedFile = OwnedHandle<HANDLE, CloseFile>;

inline OwnedFile AdoptFile(HANDLE file) {
    return OwnedFile(file == INVALID_HANDLE_VALUE ? nullptr : file);
}
