#pragma once

#include "timesync/activity_log.h"
#include "tests/support/window_text.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

// The pieces a synchronisation writes into the log pane under Wine, then those of one that got
// no answer, whose hint is the longest line the exchange writes.
inline constexpr const wchar_t* kSynchronisationLog[] = {
    L"\r\nStarted up WinSock 2.0\r\n\r\n",
    L"Socket 148  已经成功创建!\r\n\r\n",
    L"正在连接: 132.163.4.101...",
    L"\r\n",
    L"已成功连接到时间服务器\r\n\r\n",
    L"正在接受数据，请稍候...",
    L"\r\n",
    L"接受的时间为从1900年1月1日起 4005793652 秒 \r\n",
    L"\r\n系统的日期和时间已成功更改：\r\n以前\t2026/12/9, 01:16:16.100 \r\n",
    L"现在\t2026/12/9, 01:16:16.100.", // one piece with the line above
    L"\r\n",
    L"等待时间服务器应答超时! #10060.",
    L"\r\n服务器没有应答：它可能已停止服务，或者防火墙阻止了 TCP 端口 37。请换一个服务器再试。",
};

// Writes the log above into the pane as the exchange does and checks that every character lies
// inside the pane's client width (EM_POSFROMCHAR), that the last one is in view, and that the
// pane's text is what was written: wrapping puts no line breaks into it.
inline void ExpectTheLogReadsWhole(HWND hLog) {
    SetWindowTextW(hLog, L"");
    std::wstring written;
    for (const wchar_t* piece : kSynchronisationLog) {
        AppendLog(hLog, L"%s", piece);
        written += piece;
    }
    ASSERT_EQ(WindowText(hLog), written);

    RECT client = {};
    GetClientRect(hLog, &client);
    const HDC hdc = GetDC(hLog);
    const HGDIOBJ hOld =
        SelectObject(hdc, reinterpret_cast<HFONT>(SendMessageW(hLog, WM_GETFONT, 0, 0)));
    int outside = 0;
    for (size_t index = 0; index < written.size(); ++index) {
        if (written[index] == L'\r' || written[index] == L'\n' || written[index] == L'\t')
            continue;
        const auto position = static_cast<DWORD>(SendMessageW(hLog, EM_POSFROMCHAR, index, 0));
        const int left = static_cast<short>(LOWORD(position));
        SIZE extent = {};
        GetTextExtentPoint32W(hdc, &written[index], 1, &extent);
        if ((left < 0 || left + extent.cx > client.right) && ++outside <= 3) {
            ADD_FAILURE() << "character " << index << " at x " << left << ", width " << extent.cx
                          << ", outside the pane's client width " << client.right;
        }
    }
    EXPECT_EQ(outside, 0) << "characters outside the pane";
    const auto last = static_cast<DWORD>(SendMessageW(hLog, EM_POSFROMCHAR, written.size() - 1, 0));
    const int lastTop = static_cast<short>(HIWORD(last));
    EXPECT_TRUE(lastTop >= 0 && lastTop < client.bottom) << "the view follows the last line";
    SelectObject(hdc, hOld);
    ReleaseDC(hLog, hdc);
}
