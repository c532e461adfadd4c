#pragma once
// Names and texts of the settings subsystem.

// srv.xml
inline constexpr wchar_t kServerFileName[] = L"srv.xml";
inline constexpr wchar_t kTemporaryFileSuffix[] = L".tmp";
inline constexpr char kXmlVersion[] = "1.0";
inline constexpr char kXmlEncoding[] = "UTF-8";
inline constexpr char kRootElement[] = "srv_root";
inline constexpr char kConfigElement[] = "cfg";
inline constexpr char kAutoRunElement[] = "autorun";
inline constexpr char kServerElement[] = "srv";
inline constexpr char kHostElement[] = "url";
inline constexpr char kAddressElement[] = "ip";
inline constexpr char kAutoRunXPath[] = "//srv_root/cfg/autorun";

// The auto-start command line: a quoted program path followed by this option.
inline constexpr wchar_t kDefaultIpOption[] = L" /ip 132.163.4.101";

// The machine-wide Run key.
inline constexpr wchar_t kRunKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
