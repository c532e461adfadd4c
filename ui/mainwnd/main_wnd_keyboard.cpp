#include "ui/mainwnd/main_wnd.h"

#include "ui/mainwnd/main_wnd_texts.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

namespace {

// The shown main window: its messages and its controls' go through the dialog manager.
HWND g_hDialogKeysWnd = nullptr;

bool IsForWindow(HWND hWnd, const MSG& message) {
    return message.hwnd == hWnd || IsChild(hWnd, message.hwnd);
}

constexpr int kPushButtons[] = {IDC_SYNC_BTN, IDC_PRECISE_BTN};

void ShowAsDefault(HWND hButton, bool isDefault) {
    const bool looksDefault =
        (SendMessageW(hButton, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) != 0;
    if (looksDefault != isDefault)
        SendMessageW(hButton, BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

// As in a dialog box, a push button with the focus is the one Enter presses and looks it; with
// the focus anywhere else "校时" (DM_GETDEFID) does. The dialog manager takes the default look off
// every button when the focus goes to a control that is no button, and does not know of a button
// that got the focus from the mouse: the look is put right before and after each key.
void KeepDefaultButton(HWND hWnd) {
    const HWND hFocus = GetFocus();
    const int focusId = IsChild(hWnd, hFocus) ? GetDlgCtrlID(hFocus) : 0;
    const bool onPushButton = std::ranges::find(kPushButtons, focusId) != std::end(kPushButtons);
    const int defaultId = onPushButton ? focusId : IDC_SYNC_BTN;
    for (const int id : kPushButtons)
        ShowAsDefault(GetDlgItem(hWnd, id), id == defaultId);
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
    if (pMsg->message == WM_KEYDOWN)
        KeepDefaultButton(hWnd);
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
