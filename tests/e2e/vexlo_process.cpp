#include "vexlo_process.h"

#include <commctrl.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

HDESK g_hTestDesktop = nullptr;

// The calling thread joins the test desktop once a process has brought it into being.
void JoinTestDesktop() {
    for (int attempt = 0; attempt < 200 && !g_hTestDesktop; ++attempt) {
        g_hTestDesktop = OpenDesktopW(kTestDesktop, 0, FALSE, GENERIC_ALL);
        if (!g_hTestDesktop)
            Sleep(25);
    }
    if (g_hTestDesktop)
        SetThreadDesktop(g_hTestDesktop);
}

void MakeTestDesktopVirtual() {
    const HDC hScreen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(hScreen, LOGPIXELSY);
    ReleaseDC(nullptr, hScreen);
    const std::wstring size = std::to_wstring(MulDiv(kTestDesktopWidth, dpi, 96)) + L"x" +
                              std::to_wstring(MulDiv(kTestDesktopHeight, dpi, 96));
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\Explorer\\Desktops", kTestDesktop, REG_SZ,
                    size.c_str(), static_cast<DWORD>((size.size() + 1) * sizeof(wchar_t)));
}

// Memory inside another process, for list-view messages whose data the control writes there.
class RemoteMemory {
public:
    RemoteMemory(HANDLE hProcess, size_t size)
        : m_hProcess(hProcess),
          m_address(VirtualAllocEx(hProcess, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
    ~RemoteMemory() {
        if (m_address)
            VirtualFreeEx(m_hProcess, m_address, 0, MEM_RELEASE);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    char* Address() const { return static_cast<char*>(m_address); }
    void Write(size_t offset, const void* data, size_t size) const {
        WriteProcessMemory(m_hProcess, Address() + offset, data, size, nullptr);
    }
    void Read(size_t offset, void* data, size_t size) const {
        ReadProcessMemory(m_hProcess, Address() + offset, data, size, nullptr);
    }

private:
    HANDLE m_hProcess;
    void* m_address;
};

} // namespace

ProgramFolder::ProgramFolder(const std::wstring& name) : m_folder(L"vexlo-e2e-" + name) {
    CopyFileW(HostPathToWindows(VEXLO_EXE_HOST_PATH).c_str(), Program().c_str(), FALSE);
}

void ProgramFolder::WriteServerFile(const std::string& xml) const {
    WriteFileBytes(m_folder.File(L"srv.xml"), xml);
}

VexloProcess::VexloProcess(const std::filesystem::path& program, const std::wstring& arguments,
                           HANDLE hOutput) {
    MakeTestDesktopVirtual();
    std::wstring commandLine = L"\"" + program.wstring() + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring desktop = kTestDesktop;
    startup.lpDesktop = desktop.data();
    // Without an output of the test's choosing the program gets none, as from Explorer or the
    // Run value; otherwise Wine would hand it this process's own.
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = hOutput;
    if (hOutput)
        SetHandleInformation(hOutput, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    const std::wstring folder = program.parent_path().wstring();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, hOutput != nullptr, 0,
                        nullptr, folder.c_str(), &startup, &m_process))
        m_process = {};
    JoinTestDesktop();
}

VexloProcess::~VexloProcess() {
    if (!m_process.hProcess)
        return;
    if (!WaitForExit(0))
        TerminateProcess(m_process.hProcess, 99);
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
}

std::optional<DWORD> VexloProcess::WaitForExit(DWORD timeoutMs) const {
    if (WaitForSingleObject(m_process.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(m_process.hProcess, &code);
    return code;
}

std::vector<HWND> VexloProcess::TopLevelWindows() const {
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search{m_process.dwProcessId, {}};
    EnumWindows(
        [](HWND hWnd, LPARAM context) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(hWnd, &owner);
            if (owner == s.processId)
                s.found.push_back(hWnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND VexloProcess::WaitForWindow(const wchar_t* className, DWORD timeoutMs) const {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    do {
        for (const HWND hWnd : TopLevelWindows()) {
            wchar_t name[128] = {};
            GetClassNameW(hWnd, name, 128);
            if (IsWindowVisible(hWnd) && (!className || wcscmp(name, className) == 0))
                return hWnd;
        }
        Sleep(20);
    } while (GetTickCount64() < deadline);
    return nullptr;
}

bool VexloProcess::HasVisibleWindow() const {
    for (const HWND hWnd : TopLevelWindows()) {
        if (IsWindowVisible(hWnd))
            return true;
    }
    return false;
}

std::vector<std::pair<std::wstring, std::wstring>> VexloProcess::ListRows(HWND hList) const {
    constexpr int kTextCapacity = 256;
    RemoteMemory remote(m_process.hProcess, sizeof(LVITEMW) + kTextCapacity * sizeof(wchar_t));
    const auto cellText = [&](int row, int column) {
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = reinterpret_cast<wchar_t*>(remote.Address() + sizeof(LVITEMW));
        item.cchTextMax = kTextCapacity;
        remote.Write(0, &item, sizeof item);
        SendMessageW(hList, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote.Address()));
        wchar_t text[kTextCapacity] = {};
        remote.Read(sizeof(LVITEMW), text, sizeof text);
        text[kTextCapacity - 1] = L'\0';
        return std::wstring(text);
    };
    std::vector<std::pair<std::wstring, std::wstring>> rows;
    const auto count = static_cast<int>(SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0));
    rows.reserve(std::max(count, 0));
    for (int row = 0; row < count; ++row)
        rows.emplace_back(cellText(row, 0), cellText(row, 1));
    return rows;
}

POINT VexloProcess::RowCentreOnScreen(HWND hList, int row) const {
    RemoteMemory remote(m_process.hProcess, sizeof(RECT));
    RECT rect = {};
    rect.left = LVIR_LABEL;
    remote.Write(0, &rect, sizeof rect);
    SendMessageW(hList, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remote.Address()));
    remote.Read(0, &rect, sizeof rect);
    POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    MapWindowPoints(hList, nullptr, &centre, 1);
    return centre;
}

HWND FindChild(HWND hParent, const wchar_t* className, std::optional<int> id) {
    for (HWND hChild = FindWindowExW(hParent, nullptr, className, nullptr); hChild;
         hChild = FindWindowExW(hParent, hChild, className, nullptr)) {
        if (!id || GetDlgCtrlID(hChild) == *id)
            return hChild;
    }
    return nullptr;
}

RECT WindowRect(HWND hWnd) {
    RECT rect = {};
    GetWindowRect(hWnd, &rect);
    return rect;
}

bool RunHostCommand(const std::wstring& commandLine, DWORD timeoutMs) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::wstring command = commandLine;
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    // Wine's handle of a host process may not tell when it ends: callers wait for its results.
    WaitForSingleObject(process.hProcess, timeoutMs);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

namespace {

bool AwaitFile(const std::filesystem::path& file, DWORD timeoutMs = 20'000) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!std::filesystem::exists(file) && GetTickCount64() < deadline)
        Sleep(20);
    return std::filesystem::exists(file);
}

// Runs a host command that writes the given host file as its last argument: it writes a
// temporary beside it (of the same extension, which tells ImageMagick the format), renamed once
// complete, so that the file appears whole or not at all.
void RunHostCommandThenPublish(const std::wstring& command, const std::string& hostFile) {
    const std::wstring file(hostFile.begin(), hostFile.end());
    const std::wstring partial =
        file + L".partial" + std::filesystem::path(file).extension().wstring();
    RunHostCommand(L"/bin/sh -c \"" + command + partial + L" && mv " + partial + L" " + file +
                   L"\"");
}

} // namespace

bool DoubleClickAt(POINT point) {
    return RunHostCommand(L"/usr/bin/xdotool mousemove " + std::to_wstring(point.x) + L" " +
                          std::to_wstring(point.y) + L" click --repeat 2 --delay 120 1");
}

bool SaveScreenshot(const RECT& rect, const std::filesystem::path& file) {
    const std::wstring geometry = std::to_wstring(rect.right - rect.left) + L"x" +
                                  std::to_wstring(rect.bottom - rect.top) + L"+" +
                                  std::to_wstring(rect.left) + L"+" + std::to_wstring(rect.top);
    const std::string target = WindowsPathToHost(file);
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
    RunHostCommandThenPublish(L"/usr/bin/import -window root -crop " + geometry + L" +repage ",
                              target);
    return AwaitFile(file);
}

std::optional<ImageFacts> InspectImage(const std::filesystem::path& file) {
    const std::filesystem::path report = file.wstring() + L".txt";
    const std::string image = WindowsPathToHost(file);
    const std::string target = WindowsPathToHost(report);
    std::error_code ignored;
    std::filesystem::remove(report, ignored);
    RunHostCommandThenPublish(L"/usr/bin/convert " + std::wstring(image.begin(), image.end()) +
                                  L" -format '%w %h %[fx:standard_deviation]' info:",
                              target);
    AwaitFile(report);
    std::ifstream in(report);
    ImageFacts facts;
    if (!(in >> facts.width >> facts.height >> facts.deviation))
        return std::nullopt;
    return facts;
}

std::wstring HostPathToWindows(const std::string& hostPath) {
    std::wstring path = L"Z:" + std::wstring(hostPath.begin(), hostPath.end());
    for (wchar_t& c : path) {
        if (c == L'/')
            c = L'\\';
    }
    return path;
}

std::string WindowsPathToHost(const std::filesystem::path& path) {
    using ToUnix = char*(CDECL*)(const wchar_t*);
    // Wine's own export; the cast goes through void* as GetProcAddress results must.
    const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        return {};
    char* const unixPath = toUnix(path.wstring().c_str());
    if (!unixPath)
        return {};
    std::string result = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}
