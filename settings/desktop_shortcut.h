#pragma once
// The desktop shortcut to the program.

#include "settings/entry_owner.h"

// The shortcut to the program on the current user's desktop.
inline constexpr wchar_t kShortcutFileName[] = L"Vexlo v1.1.lnk";

// With create, writes the shortcut (target: the program, working directory: its folder),
// replacing a file of that name, unless the link cannot hold the path whole (MAX_PATH and more);
// without, deletes that file if it is a shortcut, never a folder or another file, silently and
// not to the recycle bin. True when it was written or deleted.
bool SetDesktopShortcut(const wchar_t* programPath, bool create);

// True if the desktop's file (not folder) of that name loads as a shortcut, wherever it points.
bool DesktopShortcutExists(const wchar_t* programPath);

// Nobody when the desktop has no shortcut file of that name; ThisProgram when the shortcut's
// target is the program path (in any letter case); OtherProgram when it points anywhere else.
EntryOwner DesktopShortcutOwner(const wchar_t* programPath);
