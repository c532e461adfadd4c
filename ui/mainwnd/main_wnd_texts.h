#pragma once

// Control ids and texts of the main window.
inline constexpr int IDC_SRV_LIST = 100;
inline constexpr int IDC_LOG_EDIT = 200;
inline constexpr int IDC_SYNC_BTN = 300;
inline constexpr int IDC_AUTORUN_CHK = 500;
inline constexpr int IDC_SHORTCUT_CHK = 501;

inline constexpr wchar_t kHostColumnTitle[] = L"时间服务器域名";
inline constexpr wchar_t kAddressColumnTitle[] = L"IP地址";
inline constexpr wchar_t kSyncButtonText[] = L"校时";
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
