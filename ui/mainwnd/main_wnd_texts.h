#pragma once
// Control ids and texts of the main window.
inline constexpr int IDC_SRV_LIST = 100;
inline constexpr int IDC_LOG_EDIT = 200;
inline constexpr int IDC_SYNC_BTN = 300;
inline constexpr int IDC_PRECISE_BTN = 301;
inline constexpr int IDC_AUTORUN_CHK = 500;
inline constexpr int IDC_SHORTCUT_CHK = 501;

inline constexpr wchar_t kHostColumnTitle[] = L"时间服务器域名";
inline constexpr wchar_t kAddressColumnTitle[] = L"IP地址";
inline constexpr wchar_t kSyncButtonText[] = L"校时";
inline constexpr wchar_t kPreciseButtonText[] = L"精确校时";
inline constexpr wchar_t kAutoRunTipText[] =
    L"勾选复选框，即将相应命令行指令写入注册表，实现开机自启:";
inline constexpr wchar_t kAutoRunCheckText[] = L"开机自启";
inline constexpr wchar_t kShortcutCheckText[] = L"创建桌面快捷方式";

inline constexpr const wchar_t* kHelpLines[] = {
    L"请选择时间服务器",
    L"然后双击校正时间",
    L"本程序支持命令行调用，格式为:",
    L"Vexlo.exe /ip 132.163.4.101",
    L"本程序使用说明见:",
    L"https://github.com/vexlo/vexlo#readme",
};

// Lines the log pane gets when srv.xml gives the list nothing of its own, or when a check box
// cannot store what it was clicked for; each fits the log pane of the smallest window. Formats go
// through wvnsprintfW.
inline constexpr wchar_t kNoticeServerFileNotCreated[] = L"无法在此文件夹中创建 srv.xml。";
inline constexpr wchar_t kNoticeServerFileUnreadable[] = L"无法读取 srv.xml。";
inline constexpr wchar_t kNoticeServerFileRefusedAtLine[] = L"无法读取 srv.xml：第 %i 行有误。";
inline constexpr wchar_t kNoticeNoServer[] = L"srv.xml 中没有服务器，请在其中添加。";
inline constexpr wchar_t kNoticeRunValueNeedsAdmin[] = L"无法更改开机自启：需要管理员权限。";
inline constexpr wchar_t kNoticeRunValueFailed[] = L"无法更改开机自启! #%i.";
inline constexpr wchar_t kNoticeCommandEmpty[] = L"命令行为空，无法设置开机自启。";
inline constexpr wchar_t kNoticeServerFileNotSaved[] = L"无法保存 srv.xml，开机自启未更改。";
inline constexpr wchar_t kNoticeRunValueForAnother[] = L"已写入开机自启，但它不属于本程序。";
inline constexpr wchar_t kNoticeRunValueNotOurs[] = L"开机自启项属于另一个程序，未删除。";
inline constexpr wchar_t kNoticeShortcutNotCreated[] = L"无法创建桌面快捷方式。";
inline constexpr wchar_t kNoticeShortcutNotDeleted[] = L"无法删除桌面快捷方式。";
inline constexpr wchar_t kNoticeShortcutNotOurs[] = L"桌面快捷方式属于另一个程序，未删除。";
