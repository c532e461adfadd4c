#pragma once
// Log texts of the time exchange and the clock update: wvnsprintfW formats and {} templates.
inline constexpr wchar_t kLogStartedUp[] = L"\r\nStarted up %hs\r\n\r\n";
inline constexpr wchar_t kLogStartupFailed[] = L"\r\nWSAStartup 错误： #%i.\r\n\r\n";
inline constexpr wchar_t kLogSocketFailed[] = L"Socket 创建失败! #%i\r\n\r\n";
inline constexpr wchar_t kLogSocketCreated[] = L"Socket %i  已经成功创建!\r\n\r\n";
inline constexpr wchar_t kLogAsyncSelectFailed[] = L"WSAAsyncSelect 错误： #%i.\r\n\r\n";
inline constexpr wchar_t kLogConnecting[] = L"正在连接: %hs...";
inline constexpr wchar_t kLogConnectFailedAtOnce[] = L"连接错误： #%i.\r\n\r\n";

inline constexpr wchar_t kLogEventStart[] = L"\r\n";
inline constexpr wchar_t kLogConnectFailed[] = L"连接错误： #%i.";
inline constexpr wchar_t kLogConnected[] = L"已成功连接到时间服务器\r\n\r\n";
inline constexpr wchar_t kLogAwaitingData[] = L"正在接受数据，请稍候...";
inline constexpr wchar_t kLogReadFailed[] = L"FD_READ 错误! #%i.";
inline constexpr wchar_t kLogClosedEarly[] =
    L"服务器在发送完 4 字节之前关闭了连接 (已收到 %i 字节)! #%i.";
inline constexpr wchar_t kLogTimedOut[] = L"等待时间服务器应答超时! #%i.";
inline constexpr wchar_t kLogReceived[] = L"接受的时间为从1900年1月1日起 %u 秒 \r\n";

inline constexpr wchar_t kLogYearOutOfRangeStart[] = L"获得的日期为 ";
inline constexpr wchar_t kLogYearOutOfRangeEnd[] = L", 时间超过 10年, 忽略此次设置!\r\n";
// The system's reason follows the refusal, as with the other failures.
inline constexpr wchar_t kLogClockNotSet[] = L"不能设置新的日期和时间! #%i.";
inline constexpr wchar_t kLogClockChanged[] =
    L"\r\n系统的日期和时间已成功更改：\r\n以前\t%s, %s.%03i \r\n现在\t%s, %s.%03i.";

// How far the local clock was off, on a line of its own after the report or the failure.
inline constexpr wchar_t kLogCorrection[] = L"\r\n%s";
// The precise search's lines (progress, fallback) below the received line, each on its own.
inline constexpr wchar_t kLogSearchLine[] = L"%s\r\n";
// After a later query's failure line and its hint.
inline constexpr wchar_t kLogSearchCutShort[] = L"\r\n%s\r\n";
// Before the first query's steps, when the server was asked less than the spacing ago.
inline constexpr wchar_t kLogCourtesyWait[] = L"%s\r\n";

// What to do, on a line of its own after a failure line whose cause the user can act on.
inline constexpr wchar_t kLogHintLine[] = L"\r\n%s";
inline constexpr wchar_t kLogHintParagraph[] = L"%s\r\n\r\n";
inline constexpr wchar_t kHintRunAsAdministrator[] =
    L"设置时间需要管理员权限：请右键单击 Vexlo，选择“以管理员身份运行”。";
inline constexpr wchar_t kHintNoAnswer[] =
    L"服务器没有应答：它可能已停止服务，或者防火墙阻止了 TCP 端口 37。请换一个服务器再试。";
inline constexpr wchar_t kHintRefused[] =
    L"服务器拒绝了连接：它没有在端口 37 上提供时间服务。请换一个服务器。";
inline constexpr wchar_t kHintNoRoute[] = L"没有通往该服务器所在网络的路由：请检查网络连接。";

// Texts of the offset line and of the precise search; each {} takes one value in turn.
inline constexpr wchar_t kClockSlowText[] = L"本机时钟慢 {} 秒（±{} 秒）。";
inline constexpr wchar_t kClockFastText[] = L"本机时钟快 {} 秒（±{} 秒）。";
inline constexpr wchar_t kClockRightText[] = L"本机时钟与服务器一致（±{} 秒）。";
inline constexpr wchar_t kSearchProgressText[] =
    L"精确校时：已收到 {} 个应答，误差还有 ±{} 秒，约需 {} 秒。";
// A search that fell back to its last answer alone.
inline constexpr wchar_t kSearchFallbackText[] =
    L"服务器的应答前后矛盾，精确校时改用最后一个应答。";
// A search whose later query failed: the clock is set from the answers so far.
inline constexpr wchar_t kSearchCutShortText[] = L"精确校时未能完成，按已收到的应答校时。";
inline constexpr wchar_t kCourtesyWaitText[] =
    L"距上次询问这台服务器不到 {} 秒：等待 {} 秒后再询问，以免被服务器拒绝。";
