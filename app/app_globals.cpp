#include "app/app_globals.h"

HINSTANCE g_hInstance = nullptr;
std::wstring g_appDir;
