#include "tests/support/window_text.h"

#include <commctrl.h>

#include <algorithm>

std::wstring WindowText(HWND hWnd) {
    const auto length = static_cast<int>(SendMessageW(hWnd, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const auto copied = static_cast<size_t>(
        SendMessageW(hWnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    text.resize(copied);
    return text;
}

std::wstring ListViewCellText(HWND hList, int row, int column, std::size_t capacity) {
    std::wstring text(capacity, L'\0');
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    text.resize(static_cast<std::size_t>(
        SendMessageW(hList, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item))));
    return text;
}

std::vector<std::pair<std::wstring, std::wstring>> ListViewRows(HWND hList, std::size_t capacity) {
    std::vector<std::pair<std::wstring, std::wstring>> rows;
    const auto count = static_cast<int>(SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0));
    rows.reserve(std::max(count, 0));
    for (int row = 0; row < count; ++row)
        rows.emplace_back(ListViewCellText(hList, row, 0, capacity),
                          ListViewCellText(hList, row, 1, capacity));
    return rows;
}
