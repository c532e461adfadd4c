#include "ui/mainwnd/main_wnd.h"

#include "ui/mainwnd/main_wnd_texts.h"

#include <commctrl.h>

namespace {

// The shown main window: its messages and its controls' go through the dialog manager.
HWND g_hDialogKeysWnd = nullptr;

bool IsForWindow(HWND hWnd, const MSG& message) {
    return message.hwnd == hWnd || IsChild(hWnd, message.hwnd);
}

// "校时", the only push button, stays the default one wherever the focus goes: the dialog manager
// takes the default look off a button whose focus goes to a control that is no button.
void KeepDefaultButton(HWND hWnd) {
    const HWND hButton = GetDlgItem(hWnd, IDC_SYNC_BTN);
    if (!(SendMessageW(hButton, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON))
        SendMessageW(hButton, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

} // namespace

int FilterDialogKeys(MSG* pMsg) {
    const HWND hWnd = g_hDialogKeysWnd;
    if (!hWnd || !IsForWindow(hWnd, *pMsg))
        return 0;
    // Esc closes nothing: the window ignores IDCANCEL, and a multi-line edit box in dialog mode
    // would close its parent with WM_CLOSE.
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE)
        return 1;
    if (!IsDialogMessageW(hWnd, pMsg))
        return 0;
    if (pMsg->message == WM_KEYDOWN)
        KeepDefaultButton(hWnd);
    return 1;
}

void CMainWnd::SetUpKeyboard() {
    // The tab order is the controls' z-order: the log pane, made second for the layout tree,
    // goes last.
    SetWindowPos(m_hLogEdit, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // The first row has the focus but no selection: Enter alone starts nothing.
    LVITEMW focused = {};
    focused.stateMask = LVIS_FOCUSED;
    focused.state = LVIS_FOCUSED;
    SendMessageW(m_hSrvList, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&focused));
    m_hFocusCtrl = m_hSrvList;
    g_hDialogKeysWnd = m_hWnd;
}

// The focus that the window itself gets goes on to the control that had it last: the one that
// lost it to the window (restoring from the task bar), or the one noted when the window lost the
// activation (another window, minimising).
void CMainWnd::OnActivate(WPARAM wParam) {
    const HWND hFocus = GetFocus();
    if ((LOWORD(wParam) == WA_INACTIVE || HIWORD(wParam)) && IsOwnControl(hFocus))
        m_hFocusCtrl = hFocus;
}

void CMainWnd::OnSetFocus(HWND hLost) {
    if (IsOwnControl(hLost))
        m_hFocusCtrl = hLost;
    if (m_hFocusCtrl)
        SetFocus(m_hFocusCtrl);
}

bool CMainWnd::IsOwnControl(HWND hWnd) const {
    return hWnd && IsChild(m_hWnd, hWnd);
}

// A multi-line edit box sends it for Tab and Shift+Tab (lParam 0): the focus moves to the next
// (wParam 0) or previous tab stop, as in a dialog box. The other form, a given control (lParam
// not 0), comes from the arrow keys on a button, which move nothing here: without groups, the
// next control of the group could be the label.
void CMainWnd::OnNextDlgCtl(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(lParam))
        return;
    const HWND hFocus = GetFocus();
    const HWND hNext =
        GetNextDlgTabItem(m_hWnd, IsOwnControl(hFocus) ? hFocus : nullptr, wParam != 0);
    if (!hNext)
        return;
    SetFocus(hNext);
    if (SendMessageW(hNext, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        SendMessageW(hNext, EM_SETSEL, 0, -1);
}
