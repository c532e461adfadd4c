#include "tests/support/message_sequence.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <utility>

namespace {

// The id with its name as the headers spell it.
// clang-format off
#define VEXLO_MESSAGE(id) {id, #id}
constexpr std::pair<UINT, const char*> kNames[] = {
    VEXLO_MESSAGE(WM_NULL), VEXLO_MESSAGE(WM_CREATE), VEXLO_MESSAGE(WM_DESTROY),
    VEXLO_MESSAGE(WM_MOVE), VEXLO_MESSAGE(WM_SIZE), VEXLO_MESSAGE(WM_ACTIVATE),
    VEXLO_MESSAGE(WM_SETFOCUS), VEXLO_MESSAGE(WM_KILLFOCUS), VEXLO_MESSAGE(WM_ENABLE),
    VEXLO_MESSAGE(WM_SETTEXT), VEXLO_MESSAGE(WM_GETTEXT), VEXLO_MESSAGE(WM_PAINT),
    VEXLO_MESSAGE(WM_CLOSE), VEXLO_MESSAGE(WM_QUIT), VEXLO_MESSAGE(WM_ERASEBKGND),
    VEXLO_MESSAGE(WM_SHOWWINDOW), VEXLO_MESSAGE(WM_ACTIVATEAPP), VEXLO_MESSAGE(WM_SETCURSOR),
    VEXLO_MESSAGE(WM_GETMINMAXINFO), VEXLO_MESSAGE(WM_WINDOWPOSCHANGING),
    VEXLO_MESSAGE(WM_WINDOWPOSCHANGED), VEXLO_MESSAGE(WM_SETFONT), VEXLO_MESSAGE(WM_GETFONT),
    VEXLO_MESSAGE(WM_STYLECHANGING), VEXLO_MESSAGE(WM_STYLECHANGED), VEXLO_MESSAGE(WM_GETICON),
    VEXLO_MESSAGE(WM_NCCREATE), VEXLO_MESSAGE(WM_NCDESTROY), VEXLO_MESSAGE(WM_NCCALCSIZE),
    VEXLO_MESSAGE(WM_NCHITTEST), VEXLO_MESSAGE(WM_NCPAINT), VEXLO_MESSAGE(WM_NCACTIVATE),
    VEXLO_MESSAGE(WM_KEYDOWN), VEXLO_MESSAGE(WM_CHAR), VEXLO_MESSAGE(WM_COMMAND),
    VEXLO_MESSAGE(WM_TIMER), VEXLO_MESSAGE(WM_PARENTNOTIFY), VEXLO_MESSAGE(WM_ENTERSIZEMOVE),
    VEXLO_MESSAGE(WM_EXITSIZEMOVE), VEXLO_MESSAGE(WM_IME_SETCONTEXT), VEXLO_MESSAGE(WM_IME_NOTIFY),
    VEXLO_MESSAGE(WM_DPICHANGED)};
// clang-format on
#undef VEXLO_MESSAGE

std::string Listed(const MessageSequence& messages) {
    std::string text = "(" + std::to_string(messages.size()) + "):";
    for (size_t i = 0; i < messages.size(); ++i)
        text += (i == 0 ? " " : ", ") + MessageName(messages[i]);
    return text;
}

} // namespace

std::string MessageName(UINT uMsg) {
    const auto* pName = std::find_if(std::begin(kNames), std::end(kNames),
                                     [uMsg](const auto& name) { return name.first == uMsg; });
    if (pName != std::end(kNames))
        return pName->second;
    if (uMsg >= WM_APP)
        return "WM_APP+" + std::to_string(uMsg - WM_APP);
    if (uMsg >= WM_USER)
        return "WM_USER+" + std::to_string(uMsg - WM_USER);
    char hex[16] = {};
    std::snprintf(hex, sizeof hex, "0x%04X", uMsg);
    return hex;
}

::testing::AssertionResult SameMessages(const MessageSequence& recorded,
                                        const MessageSequence& expected) {
    if (recorded == expected)
        return ::testing::AssertionSuccess();
    const auto parted =
        std::mismatch(recorded.begin(), recorded.end(), expected.begin(), expected.end());
    return ::testing::AssertionFailure()
           << "messages differ from position " << (parted.first - recorded.begin())
           << "\n  recorded " << Listed(recorded) << "\n  expected " << Listed(expected);
}
