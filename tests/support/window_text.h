#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// The text of a window of this or any other process (WM_GETTEXT).
std::wstring WindowText(HWND hWnd);

// The text of one cell of a list view in this process, read into room for `capacity` characters
// with the terminator: longer texts come back cut.
std::wstring ListViewCellText(HWND hList, int row, int column, std::size_t capacity = 256);

// Every row of a list view in this process as the texts of its first two columns.
std::vector<std::pair<std::wstring, std::wstring>> ListViewRows(HWND hList,
                                                                std::size_t capacity = 256);
