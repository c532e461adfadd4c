#include "ui/mainwnd/log_notice.h"

void BeginLogLine(HWND pane) {
    // Wrapping splits a line only within it: the pane's last line is empty exactly when its text
    // ends with a line break.
    const LRESULT lines = SendMessageW(pane, EM_GETLINECOUNT, 0, 0);
    const LRESULT lastLineStart = SendMessageW(pane, EM_LINEINDEX, lines - 1, 0);
    if (SendMessageW(pane, EM_LINELENGTH, lastLineStart, 0) > 0)
        AppendLog(pane, L"\r\n");
}
