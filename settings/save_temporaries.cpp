#include "save_temporaries.h"

#include "owned_file.h"
#include "settings_texts.h"

#include <cwchar>

namespace {

// A search of FindFirstFileW; INVALID_HANDLE_VALUE is held as empty.
using OwnedFind = OwnedHandle<HANDLE, [](HANDLE find) { FindClose(find); }>;

constexpr DWORD kNotPlainFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;

// The process id in a temporary's name "<prefix><id>.tmp", or 0 when the name has none.
DWORD ProcessIdInName(const std::wstring& name, const std::wstring& prefix) {
    const size_t suffix = wcslen(kTemporaryFileSuffix);
    if (name.size() <= prefix.size() + suffix || !name.starts_with(prefix))
        return 0; // matched by its short name only
    const std::wstring id = name.substr(prefix.size(), name.size() - prefix.size() - suffix);
    if (id.size() > 10 || id.find_first_not_of(L"0123456789") != std::wstring::npos)
        return 0;
    const unsigned long long value = std::stoull(id);
    return value > MAXDWORD ? 0 : static_cast<DWORD>(value);
}

} // namespace

std::wstring TemporaryPathBeside(const std::wstring& path, DWORD processId) {
    return path + L"." + std::to_wstring(processId) + kTemporaryFileSuffix;
}

bool IsProcessRunning(DWORD processId) {
    const OwnedFile process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process)
        return GetLastError() != ERROR_INVALID_PARAMETER;
    // An ended process stays while anything holds a handle to it.
    DWORD exitCode = 0;
    return !GetExitCodeProcess(process.Get(), &exitCode) || exitCode == STILL_ACTIVE;
}

void RemoveAbandonedTemporaries(const std::wstring& path) {
    WIN32_FIND_DATAW found{};
    const std::wstring pattern = path + L".*" + kTemporaryFileSuffix;
    const HANDLE first = FindFirstFileW(pattern.c_str(), &found);
    if (first == INVALID_HANDLE_VALUE)
        return;
    const OwnedFind search(first);
    const std::wstring folder = path.substr(0, path.find_last_of(L"/\\") + 1);
    const std::wstring prefix = path.substr(folder.size()) + L".";
    do {
        const DWORD processId = ProcessIdInName(found.cFileName, prefix);
        if (processId == 0 || (found.dwFileAttributes & kNotPlainFile) ||
            processId == GetCurrentProcessId() || IsProcessRunning(processId))
            continue;
        DeleteFileW((folder + found.cFileName).c_str());
    } while (FindNextFileW(search.Get(), &found));
}
