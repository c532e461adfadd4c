#pragma once

// Texts of the application shell.
inline constexpr wchar_t kUsageCaption[] = L"用法:";
inline constexpr wchar_t kUsageFormat[] = L"用法:\r\n\"%s\" /ip 132.163.4.101\r\n";
inline constexpr wchar_t kIpOptionKey[] = L"ip";
