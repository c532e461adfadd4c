#pragma once

#include "ui/mainwnd/main_wnd.h"

#include <windows.h>

#include <array>
#include <vector>

// A rectangle as (left, top, right, bottom), comparable and printable.
using Box = std::array<LONG, 4>;

inline Box BoxOf(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// The list, the log pane, the two buttons ("校时", "精确校时"), the label, the command box, the
// auto-start box and the shortcut box, in that order.
inline std::vector<HWND> ControlsOf(const CMainWnd& wnd) {
    return {wnd.m_hSrvList,    wnd.m_hLogEdit, wnd.m_hSyncBtn,    wnd.m_hPreciseBtn,
            wnd.m_hAutoRunTip, wnd.m_hCmdEdit, wnd.m_hAutoRunChk, wnd.m_hShortcutChk};
}

// Each control's rectangle in the main window's client coordinates, in ControlsOf order.
inline std::vector<Box> ControlBoxes(const CMainWnd& wnd) {
    std::vector<Box> boxes;
    for (const HWND hControl : ControlsOf(wnd)) {
        RECT rect = {};
        GetWindowRect(hControl, &rect);
        MapWindowPoints(nullptr, wnd.GetHwnd(), reinterpret_cast<POINT*>(&rect), 2);
        boxes.push_back(BoxOf(rect));
    }
    return boxes;
}

inline int ColumnWidth(HWND hList, int column) {
    return static_cast<int>(SendMessageW(hList, LVM_GETCOLUMNWIDTH, column, 0));
}

inline LONG FontHeight(HWND hWnd) {
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hWnd, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfHeight;
}
