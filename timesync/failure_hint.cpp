#include "timesync/failure_hint.h"

#include "timesync/activity_log.h"
#include "timesync/timesync_texts.h"

#include <winsock2.h>

const wchar_t* FailureHint(int code) {
    switch (code) {
    case ERROR_PRIVILEGE_NOT_HELD:
        return kHintRunAsAdministrator;
    case WSAETIMEDOUT:
        return kHintNoAnswer;
    case WSAECONNREFUSED:
        return kHintRefused;
    case WSAEHOSTUNREACH:
    case WSAENETUNREACH:
        return kHintNoRoute;
    default:
        return nullptr;
    }
}

void AppendFailureHint(HWND target, int code, HintShape shape) {
    if (const wchar_t* hint = FailureHint(code))
        AppendLog(target, shape == HintShape::Line ? kLogHintLine : kLogHintParagraph, hint);
}
