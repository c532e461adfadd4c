#include "desktop_shortcut.h"

#include "owned_handle.h"

#include <objbase.h>
#include <shellapi.h>
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

// The thread's COM apartment for one operation; left even when entering reported an error.
class ComApartment {
public:
    ComApartment() { CoInitialize(nullptr); }
    ~ComApartment() { CoUninitialize(); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
};

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

// A link object aimed at the program, asked for its IPersistFile.
ComPtr<IPersistFile> MakeProgramLink(const wchar_t* programPath) {
    IShellLinkW* rawLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&rawLink))))
        return {};
    const ComPtr<IShellLinkW> link(rawLink);
    link.Get()->SetPath(programPath);
    link.Get()->SetWorkingDirectory(FolderOf(programPath).c_str());
    IPersistFile* file = nullptr;
    if (FAILED(link.Get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))))
        return {};
    return ComPtr<IPersistFile>(file);
}

void DeleteShortcutFile(const std::wstring& path) {
    // The operation takes a list of names ending in an empty one.
    const std::wstring names = path + L'\0';
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = names.c_str();
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    SHFileOperationW(&operation);
}

} // namespace

void SetDesktopShortcut(const wchar_t* programPath, bool create) {
    const std::wstring path = ShortcutPath();
    if (!programPath || path.empty())
        return;
    if (!create) {
        DeleteShortcutFile(path);
        return;
    }
    const ComApartment apartment;
    if (const auto link = MakeProgramLink(programPath))
        link.Get()->Save(path.c_str(), TRUE);
}

bool DesktopShortcutExists(const wchar_t* programPath) {
    const std::wstring path = ShortcutPath();
    if (!programPath || path.empty())
        return false;
    // Most starts find no file; they need no COM at all.
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return false;
    const ComApartment apartment;
    const auto link = MakeProgramLink(programPath);
    return link && SUCCEEDED(link.Get()->Load(path.c_str(), STGM_READ));
}
