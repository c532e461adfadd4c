#include "ui/mainwnd/log_notice.h"

void BeginLogLine(HWND pane) {
    // The pane does not wrap (ES_AUTOHSCROLL): its last line is the text after its last break.
    const LRESULT lines = SendMessageW(pane, EM_GETLINECOUNT, 0, 0);
    const LRESULT lastLineStart = SendMessageW(pane, EM_LINEINDEX, lines - 1, 0);
    if (SendMessageW(pane, EM_LINELENGTH, lastLineStart, 0) > 0)
        AppendLog(pane, L"\r\n");
}
