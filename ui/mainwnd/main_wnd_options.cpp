// The two check boxes: the Run value that starts the program at log-on, and the desktop
// shortcut. Each box shows whether this program's own entry is in place; a click that cannot be
// carried out, or that would remove another copy's entry, says so in the log pane.
#include "ui/mainwnd/main_wnd.h"

#include "settings/autorun_entry.h"
#include "app/command_line.h"
#include "settings/desktop_shortcut.h"
#include "ui/mainwnd/log_notice.h"
#include "ui/mainwnd/main_wnd_texts.h"
#include "app/program_paths.h"
#include "settings/server_file.h"

namespace {

bool IsChecked(HWND hCheckBox) {
    return SendMessageW(hCheckBox, BM_GETCHECK, 0, 0) != BST_UNCHECKED;
}

void ShowOwner(HWND hCheckBox, EntryOwner owner) {
    SendMessageW(hCheckBox, BM_SETCHECK,
                 owner == EntryOwner::ThisProgram ? BST_CHECKED : BST_UNCHECKED, 0);
}

// Why the Run value could not be changed; nothing when there was nothing to delete.
void ReportRunValueFailure(HWND hLog, LSTATUS status, bool set) {
    if (status == ERROR_ACCESS_DENIED)
        AppendNotice(hLog, kNoticeRunValueNeedsAdmin);
    else if (status == ERROR_INVALID_PARAMETER && set)
        AppendNotice(hLog, kNoticeCommandEmpty);
    else if (status != ERROR_FILE_NOT_FOUND || set)
        AppendNotice(hLog, kNoticeRunValueFailed, static_cast<int>(status));
}

} // namespace

void CMainWnd::ShowStartUpEntries() {
    ShowOwner(m_hAutoRunChk, AutoRunOwner(GetCommandProgramName(m_strAutoRunCmd.c_str()).c_str()));
    ShowOwner(m_hShortcutChk, DesktopShortcutOwner(GetModulePath().c_str()));
}

std::wstring CMainWnd::CommandBoxText() const {
    const int length = GetWindowTextLengthW(m_hCmdEdit);
    std::wstring text(static_cast<size_t>(length) + 2, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(m_hCmdEdit, text.data(), length + 1)));
    return text;
}

LRESULT CMainWnd::OnAutoRunToggled() {
    // The text the user may have edited, not the one the window started with.
    const std::wstring text = CommandBoxText();
    const std::wstring name = GetCommandProgramName(text.c_str());
    const bool set = IsChecked(m_hAutoRunChk);
    if (!set && AutoRunOwner(name.c_str()) == EntryOwner::OtherProgram)
        AppendNotice(m_hLogEdit, kNoticeRunValueNotOurs);
    else
        ChangeAutoRun(name, text, set);
    ShowOwner(m_hAutoRunChk, AutoRunOwner(name.c_str()));
    return 0;
}

void CMainWnd::ChangeAutoRun(const std::wstring& name, const std::wstring& text, bool set) {
    // The Run value and srv.xml change together or not at all.
    const RunValueBackup previous(name.c_str());
    if (!SetAutoRunEntry(name.c_str(), text.c_str(), set)) {
        ReportRunValueFailure(m_hLogEdit, static_cast<LSTATUS>(GetLastError()), set);
        return;
    }
    if (!IsOwnIpCommandLine(text.c_str())) {
        if (set)
            AppendNotice(m_hLogEdit, kNoticeRunValueForAnother);
        return;
    }
    if (!SaveAutoRunCmd(text.c_str())) {
        previous.Restore();
        AppendNotice(m_hLogEdit, kNoticeServerFileNotSaved);
    }
}

LRESULT CMainWnd::OnShortcutToggled() {
    const bool create = IsChecked(m_hShortcutChk);
    const std::wstring program = GetModulePath();
    const EntryOwner owner = DesktopShortcutOwner(program.c_str());
    if (!create && owner == EntryOwner::OtherProgram)
        AppendNotice(m_hLogEdit, kNoticeShortcutNotOurs);
    else if (!SetDesktopShortcut(program.c_str(), create) &&
             (create || owner != EntryOwner::Nobody))
        AppendNotice(m_hLogEdit, create ? kNoticeShortcutNotCreated : kNoticeShortcutNotDeleted);
    ShowOwner(m_hShortcutChk, DesktopShortcutOwner(program.c_str()));
    return 1;
}
