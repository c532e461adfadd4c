#pragma once
// Texts of the application shell.
inline constexpr wchar_t kUsageCaption[] = L"用法:";
inline constexpr wchar_t kUsageFormat[] =
    L"用法:\r\n\"%s\" /ip 132.163.4.101\r\n\"%s\" /ip 132.163.4.101 /precise\r\n";
inline constexpr wchar_t kIpOptionKey[] = L"ip";
inline constexpr wchar_t kPreciseOptionKey[] = L"precise";

inline constexpr wchar_t kMainWndCaption[] = L"Vexlo v1.1";
inline constexpr int kMainIconId = 128; // the window icon's resource id
