#include "app/program_paths.h"

#include <windows.h>

std::wstring GetModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(path.size());
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), size);
        if (length == 0)
            return {};
        if (length < size) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring ProgramDirFromModulePath(std::wstring_view modulePath) {
    std::wstring dir(modulePath);
    for (wchar_t& c : dir) {
        if (c == L'\\')
            c = L'/';
    }
    for (size_t i = dir.size(); i-- > 0;) {
        if (dir[i] == L'/') {
            dir.resize(i + 1);
            return dir;
        }
        if (dir[i] == L':') {
            dir.resize(i + 1);
            return dir + L'/';
        }
    }
    return dir;
}
