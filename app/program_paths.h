#pragma once
// The running program's file and directory.

#include <string>
#include <string_view>

// Full path of the running program file, never cut short.
std::wstring GetModulePath();

// "C:\Tools\sync\tool.exe" -> "C:/Tools/sync/"; "C:\tool.exe" -> "C:/".
std::wstring ProgramDirFromModulePath(std::wstring_view modulePath);
