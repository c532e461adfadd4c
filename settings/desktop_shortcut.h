#pragma once

// The shortcut to the program on the current user's desktop.
inline constexpr wchar_t kShortcutFileName[] = L"Vexlo v1.1.lnk";

// With create, writes the shortcut (target: the program, working directory: its folder),
// replacing a file of that name; without, deletes that file, silently and not to the recycle bin.
void SetDesktopShortcut(const wchar_t* programPath, bool create);

// True if the desktop's file of that name loads as a shortcut, wherever it points.
bool DesktopShortcutExists(const wchar_t* programPath);
