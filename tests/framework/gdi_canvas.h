#pragma once

#include <windows.h>

// A white 32-bit bitmap selected into a memory device context, to paint on and read back.
class GdiCanvas {
public:
    GdiCanvas(int nWidth, int nHeight) : m_hdc(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = nWidth;
        info.bmiHeader.biHeight = -nHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* pBits = nullptr;
        m_hBitmap = CreateDIBSection(m_hdc, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
        m_hOldBitmap = SelectObject(m_hdc, m_hBitmap);
        const RECT rc = {0, 0, nWidth, nHeight};
        FillRect(m_hdc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~GdiCanvas() {
        SelectObject(m_hdc, m_hOldBitmap);
        DeleteObject(m_hBitmap);
        DeleteDC(m_hdc);
    }
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    HDC Dc() const { return m_hdc; }
    COLORREF Pixel(int x, int y) const { return GetPixel(m_hdc, x, y); }

private:
    HDC m_hdc;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hOldBitmap = nullptr;
};
