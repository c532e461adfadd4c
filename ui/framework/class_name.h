#pragma once
// The window class names that the framework registers.

#include <windows.h>

#include <array>
#include <string>

namespace Tessel {

// A window class name with its terminator, as the framework registers it.
using ClassName = std::array<wchar_t, 64>;

// The class name made from a GUID: "{XXXXXXXX-XXXX-xxxx-XXXX-XXXXXXXXXXXX}", the third group in
// lower-case digits.
std::wstring FormatGuidClassName(const GUID& guid);

// The given name (cut to 63 characters), or a fresh GUID name when none is given; an empty name
// when no GUID can be made.
ClassName MakeClassName(const wchar_t* pszGiven);

} // namespace Tessel
