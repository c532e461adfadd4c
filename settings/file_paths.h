#pragma once
// Folders and empty files along a path, made when missing.

// Makes sure a file exists at the path, creating its missing folders and an empty file.
bool EnsureFileExists(const wchar_t* path);
// Creates every missing folder along the path.
bool CreateDirectoryPath(const wchar_t* path);
// Copies the path up to and including its last "/" or "\" (at most size - 1 characters and a
// terminator) and returns the count with the terminator; 0 for a null or empty path, a null
// buffer or a size below 1.
int GetParentDirPrefix(int size, const wchar_t* path, wchar_t* out);
