#include "settings/file_paths.h"

#include "base/owned_file.h"

#include <io.h>
#include <shlwapi.h>
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr size_t kMaxDirectoryPathChars = 10000;

bool IsSeparator(wchar_t c) {
    return c == L'/' || c == L'\\';
}

bool Exists(const wchar_t* path) {
    return _waccess(path, 0) == 0;
}

} // namespace

int GetParentDirPrefix(int size, const wchar_t* path, wchar_t* out) {
    if (!path || !*path || !out || size < 1)
        return 0;
    int last = -1;
    for (int i = 0; path[i]; ++i) {
        if (IsSeparator(path[i]))
            last = i;
    }
    const int count = std::min(size, last + 2);
    wmemcpy(out, path, static_cast<size_t>(count));
    out[count - 1] = L'\0';
    return count;
}

bool CreateDirectoryPath(const wchar_t* path) {
    if (!path || !*path)
        return false;
    const size_t length = wcsnlen(path, kMaxDirectoryPathChars + 1);
    if (length > kMaxDirectoryPathChars)
        return false;
    std::wstring prefix;
    for (size_t i = 0; i < length; ++i) {
        prefix += path[i];
        if (!IsSeparator(path[i]) && i + 1 < length)
            continue;
        if (PathFileExistsW(prefix.c_str()))
            continue;
        if (!CreateDirectoryW(prefix.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return true;
}

bool EnsureFileExists(const wchar_t* path) {
    if (!path || !*path)
        return false;
    if (Exists(path))
        return true;
    const int length = static_cast<int>(std::wcslen(path));
    std::vector<wchar_t> prefix(static_cast<size_t>(length) + 1, L'\0');
    GetParentDirPrefix(length, path, prefix.data());
    if (!Exists(prefix.data()) && !CreateDirectoryPath(prefix.data()))
        return false;
    // The new empty file is closed at once.
    AdoptFile(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
    // Another process may have made it in the meantime.
    return Exists(path);
}
