#include "settings/save_temporaries.h"

#include "base/owned_file.h"
#include "settings/settings_texts.h"

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

// The file's path as the system resolves it, links followed; empty when it cannot tell. The
// "\\?\" form is left as it is: both sides of a comparison carry it.
std::wstring ResolvedPath(HANDLE file) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFinalPathNameByHandleW(file, path.data(), static_cast<DWORD>(path.size()), 0);
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(length + 1);
    }
}

OwnedFile OpenExisting(const std::wstring& path, DWORD access, DWORD flags) {
    return AdoptFile(CreateFileW(path.c_str(), access,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, flags, nullptr));
}

// Deletes the entry of the folder only when it is the file itself: a link resolves to another
// path. Wine reports a link's target attributes in listings and would delete that target, so
// the attributes alone cannot tell.
void DeleteWhenPlainFile(const std::wstring& folder, const wchar_t* name) {
    const OwnedFile directory =
        OpenExisting(folder, FILE_READ_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS);
    const OwnedFile file = OpenExisting(folder + name, DELETE, FILE_FLAG_OPEN_REPARSE_POINT);
    if (!directory || !file)
        return;
    std::wstring expected = ResolvedPath(directory.Get());
    if (expected.empty())
        return;
    if (expected.back() != L'\\')
        expected += L'\\';
    expected += name;
    const std::wstring resolved = ResolvedPath(file.Get());
    if (CompareStringOrdinal(resolved.c_str(), static_cast<int>(resolved.size()), expected.c_str(),
                             static_cast<int>(expected.size()), TRUE) != CSTR_EQUAL)
        return;
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    SetFileInformationByHandle(file.Get(), FileDispositionInfo, &disposition, sizeof disposition);
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
        DeleteWhenPlainFile(folder, found.cFileName);
    } while (FindNextFileW(search.Get(), &found));
}
