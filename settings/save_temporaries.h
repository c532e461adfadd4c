#pragma once
// The temporary files of a save beside srv.xml, and those that ended processes left.

#include <windows.h>

#include <string>

// A save writes "<file>.<process id>.tmp" beside the file and moves it over the file when done.

std::wstring TemporaryPathBeside(const std::wstring& path, DWORD processId);

// False only when no process has the id or its process has ended. A process that exists but
// cannot be opened (another user's, an elevated one) counts as running.
bool IsProcessRunning(DWORD processId);

// Removes the temporaries beside the path that processes left when they were ended amid a save.
// Only plain files go: never a folder, a link or another reparse point (deleting a link would
// delete its target under Wine), and never the temporary of a running process.
void RemoveAbandonedTemporaries(const std::wstring& path);
