#pragma once
// The process-wide values that describe the program: its instance and its directory.

#include <windows.h>

#include <string>

// The module instance handle passed to the entry point.
extern HINSTANCE g_hInstance;

// The program directory with forward slashes and a trailing "/", e.g. "C:/Tools/sync/".
extern std::wstring g_appDir;
