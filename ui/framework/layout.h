#pragma once
// Tessel::ILayout and Tessel::IWndShape, the nodes of the layout tree.

#include "ui/framework/layout_types.h"
#include "ui/framework/tessel_api.h"

#include <windows.h>

#include <vector>

namespace Tessel {

// A node of the layout tree: a box placed by its parent's rules, with optional background and
// border brushes, owning its child nodes. Nodes live on the heap only: CreateInstance makes
// them and DeleteInstance (of the node or an ancestor) destroys them.
class TESSEL_API ILayout {
public:
    static ILayout* CreateInstance();
    // Destroys the node with its whole subtree; null is ignored.
    static void DeleteInstance(ILayout* pLayout);

    // A node owns its children: two nodes never share them.
    ILayout(const ILayout&) = delete;
    ILayout& operator=(const ILayout&) = delete;

    // Deletes the children in list order, then releases the brushes.
    virtual ~ILayout();
    // Paints the background, then the border, then each child in list order.
    virtual void Draw(HDC hdc);
    // Places the node at (l, t, r, b) and its children inside by their rules. The first call
    // with a non-empty box records the node's initial rectangle.
    virtual void UpdateSize(int l, int t, int r, int b);

    // Resets every field except the child list, releasing nothing.
    void __init__(); // NOLINT(bugprone-reserved-identifier): the name of the exported interface

    // Sets the given value on each side named by the eDirectType bits in sides.
    void SetPadding(int value, int sides);
    // The value of one side; 0 unless side is exactly one eDirectType.
    int GetPadding(eDirectType side) const;
    void SetMargin(int value, int sides);
    int GetMargin(eDirectType side) const;
    void UpdatePadding(int l, int t, int r, int b);
    void UpdateMarging(int l, int t, int r, int b);

    void SetBgColor(int color);
    void SetBorderColor(int color);
    void SetFloatType(eFloatType eType);
    eFloatType GetFloatType() const;
    // Nodes hold no font: the name is ignored.
    void SetFont(const char* pszFont);
    // A fraction of the parent's size when ratio is set, else pixels (beyond -1 to 1) or the
    // initial size.
    void SetWidth(float value, bool ratio);
    void SetHeight(float value, bool ratio);

    RECT& GetInitRect();
    RECT& GetRect();
    // Appends a child and takes ownership of it. Null, a node that already has a parent, and
    // this node or one of its ancestors (which would close a loop) are ignored.
    void AddChild(ILayout* child);

    // __init__ gives every field but the child list its starting value, as these do.
    ILayout* m_pParent = nullptr;
    float m_fWidth = 0;
    float m_fHeight = 0;
    bool m_bWidthRatio = false;
    bool m_bHeightRatio = false;
    HBRUSH m_hBgBrush = nullptr;     // owned
    HBRUSH m_hBorderBrush = nullptr; // owned
    eFloatType m_eFloatType = eFloatNone;
    RECT m_rect = {};
    RECT m_rcInit = {};
    std::vector<ILayout*> m_children; // owned, released by the destructor
    int m_nPadding[4] = {};           // left, right, top, bottom
    int m_nMargin[4] = {};            // left, top, right, bottom

protected:
    ILayout();
};

// A node that moves a child window (not owned; may be null for a pure container) to its box
// less its paddings.
class TESSEL_API IWndShape : public ILayout {
public:
    static ILayout* CreateInstance(HWND hWnd);

    // Leaves the window alone.
    ~IWndShape() override;
    void UpdateSize(int l, int t, int r, int b) override;

    HWND m_hWnd = nullptr;

protected:
    explicit IWndShape(HWND hWnd);
};

} // namespace Tessel
