#include "ui/framework/layout.h"

#include "ui/framework/placement.h"

namespace Tessel {

ILayout* IWndShape::CreateInstance(HWND hWnd) {
    return new IWndShape(hWnd);
}

IWndShape::IWndShape(HWND hWnd) : m_hWnd(hWnd) {}

IWndShape::~IWndShape() = default;

void IWndShape::UpdateSize(int l, int t, int r, int b) {
    ILayout::UpdateSize(l, t, r, b);
    if (!m_hWnd)
        return;
    const Sides padding = {GetPadding(eDirectLeft), GetPadding(eDirectTop),
                           GetPadding(eDirectRight), GetPadding(eDirectBottom)};
    const WindowBounds bounds = LeafWindowBounds(l, t, r, b, padding);
    MoveWindow(m_hWnd, bounds.x, bounds.y, bounds.cx, bounds.cy, TRUE);
}

} // namespace Tessel
