#pragma once
// CMainWnd, the program's only window, and its helpers.

#include "ui/framework/base_dlg.h"
#include "ui/framework/layout.h"
#include "settings/server_file.h"
#include "ui/mainwnd/server_list_notice.h"

#include <windows.h>

#include <span>
#include <string>

// The program's only window: the server list, the log pane, the "校时" and "精确校时" buttons, the
// auto-start command line with its check box, and the desktop-shortcut check box.
class CMainWnd : public Tessel::CBaseDlg {
public:
    CMainWnd();
    ~CMainWnd() override;
    // The window owns its layout tree: a copy would delete it twice.
    CMainWnd(const CMainWnd&) = delete;
    CMainWnd& operator=(const CMainWnd&) = delete;

    void Draw(HDC hdc) override;
    LRESULT WndProc(UINT uMsg, WPARAM wParam, LPARAM lParam) override;

    int OnCreate();
    bool FillServerList(HWND hList);
    static void MoveWndToCenter(HWND hWnd, const RECT& rect);
    LRESULT OnAutoRunToggled();
    LRESULT OnShortcutToggled();

    std::wstring m_strAutoRunCmd;
    HWND m_hSrvList = nullptr;
    HWND m_hLogEdit = nullptr;
    HWND m_hSyncBtn = nullptr;
    HWND m_hPreciseBtn = nullptr; // "精确校时": the search across the server's second boundary
    HWND m_hAutoRunTip = nullptr;
    HWND m_hCmdEdit = nullptr;
    HWND m_hAutoRunChk = nullptr;
    HWND m_hShortcutChk = nullptr;
    Tessel::ILayout* m_pLayout = nullptr; // root of the layout tree, owned

private:
    void OnSize();
    LRESULT OnCommand(WPARAM wParam, LRESULT defaultResult);
    void OnNotify(const NMHDR& header);
    // The keyboard of the shown window: dialog keys (FilterDialogKeys), the tab order, the
    // default button, the focus that comes back. The hidden window of an unattended run has none.
    void SetUpKeyboard();
    void OnActivate(WPARAM wParam);
    void OnSetFocus(HWND hLost);
    void OnNextDlgCtl(WPARAM wParam, LPARAM lParam);
    bool IsOwnControl(HWND hWnd) const;
    HWND CreateControl(const wchar_t* className, const wchar_t* text, DWORD style, int id);
    // A window that is never shown needs only the exchange's controls: the server list and the
    // button stay empty and unplaced, the log pane takes the exchange's lines.
    void CreateUnattendedControls();
    void CreateControls(UINT dpi);
    // Adds the layout nodes for a window at that DPI whose client area, at the window's minimum
    // size, reaches (clientRight, clientBottom).
    void AddLayoutNodes(Tessel::ILayout* root, UINT dpi, int clientRight, int clientBottom);

    // A move to a monitor of another DPI: the font, the column widths, the minimum size and the
    // layout follow the new DPI; the controls, their texts and states stay.
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);
    void UseFontForDpi(UINT dpi);
    void RebuildLayout(UINT dpi);

    // The server list's columns fit it. The host column keeps its design width, or is as wide as
    // the widest host name needs (which the list then scrolls to): that name is found once, as the
    // list is filled. The address column takes the rest of the list's client width, never less
    // than it needs: after every layout.
    void RememberWidestHostName(std::span<const ServerEntry> entries);
    void FitHostColumn(UINT dpi);
    void FitAddressColumn();
    int AddressColumnMinimum(UINT dpi) const;

    // Ticks each check box when this program's own entry is in place.
    void ShowStartUpEntries();
    std::wstring CommandBoxText() const;
    void ChangeAutoRun(const std::wstring& name, const std::wstring& text, bool set);

    // There was no srv.xml when the window was constructed.
    bool m_bServerFileWasMissing = false;
    // What the log pane says about the list, below the help text.
    ServerListNotice m_listNotice;
    std::wstring m_strWidestHostName; // in the window's font
    HWND m_hFocusCtrl = nullptr;      // the control that gets the focus when the window gets it
};

// The window's minimum (and opening) outer size at a DPI.
SIZE MinimumWindowSize(UINT dpi);

// The message filter for DoModal that gives the shown main window the keys of a dialog box:
// Tab and Shift+Tab move the focus, Enter presses the default button "校时" (or the push button
// that has the focus), Esc does nothing.
int FilterDialogKeys(MSG* pMsg);

// Gives the main window its icons (resource 128 at the sizes of its DPI) and caption and shows it.
void ShowMainWindow(HWND hWnd);

// The log pane's text until the first synchronisation.
std::wstring BuildHelpText();
