#include "ui/mainwnd/main_wnd.h"

#include "ui/framework/dpi_scale.h"
#include "ui/mainwnd/main_wnd_metrics.h"
#include "ui/mainwnd/main_wnd_texts.h"
#include "timesync/time_exchange.h"

#include <commctrl.h>

#include <algorithm>

using namespace Tessel;

namespace {

// The longest text a dotted IPv4 address can be, and the room a list cell keeps beside its text
// (pixels at 96 DPI).
constexpr wchar_t kWidestAddress[] = L"255.255.255.255";
constexpr int kCellPadding = 12;

int StringWidth(HWND hList, const wchar_t* text) {
    return static_cast<int>(
        SendMessageW(hList, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text)));
}

int ClientWidth(HWND hWnd) {
    RECT client = {};
    GetClientRect(hWnd, &client);
    return client.right;
}

} // namespace

// One device context for every name: asking the list for each would take it longer than filling.
void CMainWnd::RememberWidestHostName(std::span<const ServerEntry> entries) {
    const HDC hdc = GetDC(nullptr);
    const HGDIOBJ hOldFont = SelectObject(hdc, m_hFont);
    LONG widest = 0;
    for (const ServerEntry& entry : entries) {
        SIZE extent = {};
        GetTextExtentPoint32W(hdc, entry.url.c_str(), static_cast<int>(entry.url.size()), &extent);
        if (extent.cx > widest) {
            widest = extent.cx;
            m_strWidestHostName = entry.url;
        }
    }
    SelectObject(hdc, hOldFont);
    ReleaseDC(nullptr, hdc);
}

void CMainWnd::FitHostColumn(UINT dpi) {
    const int needed =
        StringWidth(m_hSrvList, m_strWidestHostName.c_str()) + ScaleForDpi(kCellPadding, dpi);
    SendMessageW(m_hSrvList, LVM_SETCOLUMNWIDTH, 0,
                 std::max(needed, ScaleForDpi(kHostColumnWidth, dpi)));
}

// What the address column needs: its title and any address, whole, in the list's font.
int CMainWnd::AddressColumnMinimum(UINT dpi) const {
    const int text = std::max(StringWidth(m_hSrvList, kAddressColumnTitle),
                              StringWidth(m_hSrvList, kWidestAddress));
    return text + ScaleForDpi(kCellPadding, dpi);
}

// The width it is given can take away the horizontal scroll bar, and with it perhaps the
// vertical one, which widens the client area again: it is fitted until the client width stays.
void CMainWnd::FitAddressColumn() {
    if (g_unattended || !m_hSrvList)
        return;
    const int minimum = AddressColumnMinimum(GetWindowDpi(m_hWnd));
    const int hostWidth = static_cast<int>(SendMessageW(m_hSrvList, LVM_GETCOLUMNWIDTH, 0, 0));
    constexpr int kMaxPasses = 3;
    int clientWidth = ClientWidth(m_hSrvList);
    for (int pass = 0; pass < kMaxPasses; ++pass) {
        SendMessageW(m_hSrvList, LVM_SETCOLUMNWIDTH, 1, std::max(minimum, clientWidth - hostWidth));
        const int fittedWidth = ClientWidth(m_hSrvList);
        if (fittedWidth == clientWidth)
            return;
        clientWidth = fittedWidth;
    }
}
