#pragma once

#include "tests/support/scratch_folder.h"
#include "tests/support/window_text.h"

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Drives a Vexlo.exe started in a Wine virtual desktop from another process, as a user (or an
// accessibility tool) would: finds its windows, reads their texts and the list's rows, clicks.

// The virtual desktop the programs under test run in; the calling thread joins it. It is
// 1024 x 768 at 96 DPI and as much larger at a higher DPI (scripts/wine-session's VEXLO_DPI).
inline constexpr wchar_t kTestDesktop[] = L"VexloE2E";
inline constexpr int kTestDesktopWidth = 1024;
inline constexpr int kTestDesktopHeight = 768;

// A program folder of its own holding a copy of the freshly built Vexlo.exe.
class ProgramFolder {
public:
    explicit ProgramFolder(const std::wstring& name);

    std::filesystem::path Path() const { return m_folder.Path(); }
    std::filesystem::path Program() const { return m_folder.File(L"Vexlo.exe"); }
    void WriteServerFile(const std::string& xml) const;

private:
    ScratchFolder m_folder;
};

class VexloProcess {
public:
    // hOutput, when given, is the program's standard output; otherwise it has no standard
    // handles, as when Explorer starts it.
    VexloProcess(const std::filesystem::path& program, const std::wstring& arguments,
                 HANDLE hOutput = nullptr);
    ~VexloProcess();
    VexloProcess(const VexloProcess&) = delete;
    VexloProcess& operator=(const VexloProcess&) = delete;

    bool Started() const { return m_process.hProcess != nullptr; }
    // The exit code once the process has ended within the time; empty if it still runs.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs) const;
    // A visible top-level window of the process with that class (null: any), within the time.
    HWND WaitForWindow(const wchar_t* className, DWORD timeoutMs) const;
    bool HasVisibleWindow() const;

    // The list view's rows (host name, address) and a row's centre in screen coordinates.
    std::vector<std::pair<std::wstring, std::wstring>> ListRows(HWND hList) const;
    POINT RowCentreOnScreen(HWND hList, int row) const;

private:
    std::vector<HWND> TopLevelWindows() const;

    PROCESS_INFORMATION m_process = {};
};

// The first child window with that class and, if given, that control id.
HWND FindChild(HWND hParent, const wchar_t* className, std::optional<int> id = std::nullopt);
RECT WindowRect(HWND hWnd);

// Runs a program of the host system (xdotool, ImageMagick) and waits for it.
bool RunHostCommand(const std::wstring& commandLine, DWORD timeoutMs = 20'000);
// A real double-click of the X server's mouse at a screen position.
bool DoubleClickAt(POINT point);
// Saves the screen rectangle as a PNG file; true when the file is there.
bool SaveScreenshot(const RECT& rect, const std::filesystem::path& file);
// Width, height and the standard deviation of the pixels (0 for a blank image).
struct ImageFacts {
    int width = 0;
    int height = 0;
    double deviation = 0;
};
std::optional<ImageFacts> InspectImage(const std::filesystem::path& file);

// "Z:\\work\\x" for "/work/x": Wine's drive Z is the host's root.
std::wstring HostPathToWindows(const std::string& hostPath);
std::string WindowsPathToHost(const std::filesystem::path& path);
