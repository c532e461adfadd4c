#include "settings/desktop_shortcut.h"

#include "base/com_apartment.h"
#include "base/owned_handle.h"

#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

template <typename T> void ReleaseComObject(T* object) {
    object->Release();
}
template <typename T> using ComPtr = OwnedHandle<T*, ReleaseComObject<T>>;

// "<desktop>\Vexlo v1.1.lnk"; empty when the desktop folder is unknown.
std::wstring ShortcutPath() {
    wchar_t folder[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, folder, CSIDL_DESKTOP, FALSE) || !*folder)
        return {};
    std::wstring path = folder;
    if (path.back() != L'\\')
        path += L'\\';
    return path + kShortcutFileName;
}

std::wstring FolderOf(const wchar_t* programPath) {
    std::vector<wchar_t> folder(programPath, programPath + std::wcslen(programPath) + 1);
    PathRemoveFileSpecW(folder.data());
    return folder.data();
}

ComPtr<IShellLinkW> MakeLink() {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return {};
    return ComPtr<IShellLinkW>(link);
}

ComPtr<IPersistFile> FileOf(const ComPtr<IShellLinkW>& link) {
    IPersistFile* file = nullptr;
    if (!link ||
        FAILED(link.Get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))))
        return {};
    return ComPtr<IPersistFile>(file);
}

// True when the link's target reads back as the path: a path that the link cannot hold whole
// comes back cut or empty.
bool TargetIs(const ComPtr<IShellLinkW>& link, const wchar_t* programPath) {
    wchar_t target[MAX_PATH + 1] = {};
    return SUCCEEDED(link.Get()->GetPath(target, MAX_PATH + 1, nullptr, SLGP_RAWPATH)) &&
           _wcsicmp(target, programPath) == 0;
}

// A link object aimed at the program; empty when it cannot point there.
ComPtr<IShellLinkW> MakeProgramLink(const wchar_t* programPath) {
    ComPtr<IShellLinkW> link = MakeLink();
    if (!link || std::wcslen(programPath) >= MAX_PATH || FAILED(link.Get()->SetPath(programPath)) ||
        !TargetIs(link, programPath))
        return {};
    link.Get()->SetWorkingDirectory(FolderOf(programPath).c_str());
    return link;
}

// The link object of a file, not a folder, that loads as a shortcut; empty for anything else.
ComPtr<IShellLinkW> LoadShortcut(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return {};
    ComPtr<IShellLinkW> link = MakeLink();
    const auto file = FileOf(link);
    if (!file || FAILED(file.Get()->Load(path.c_str(), STGM_READ)))
        return {};
    return link;
}

bool IsShortcutFile(const std::wstring& path) {
    return static_cast<bool>(LoadShortcut(path));
}

} // namespace

bool SetDesktopShortcut(const wchar_t* programPath, bool create) {
    const std::wstring path = ShortcutPath();
    if (!programPath || path.empty())
        return false;
    const ComApartment apartment;
    if (!create)
        return IsShortcutFile(path) && DeleteFileW(path.c_str());
    const auto link = MakeProgramLink(programPath);
    const auto file = FileOf(link);
    return file && SUCCEEDED(file.Get()->Save(path.c_str(), TRUE));
}

bool DesktopShortcutExists(const wchar_t* programPath) {
    const std::wstring path = ShortcutPath();
    if (!programPath || path.empty())
        return false;
    // Most starts find no file; they need no COM at all.
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return false;
    const ComApartment apartment;
    return IsShortcutFile(path);
}

EntryOwner DesktopShortcutOwner(const wchar_t* programPath) {
    const std::wstring path = ShortcutPath();
    if (!programPath || path.empty() || GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return EntryOwner::Nobody;
    const ComApartment apartment;
    const auto link = LoadShortcut(path);
    if (!link)
        return EntryOwner::Nobody;
    return TargetIs(link, programPath) ? EntryOwner::ThisProgram : EntryOwner::OtherProgram;
}
