#pragma once
// Tessel::CBaseDlg, the window base with its message loop.

#include "ui/framework/tessel_api.h"

#include <windows.h>

namespace Tessel {

// Base of every top-level framework window: a private window class per window, the object bound
// to its window so that messages reach the virtual WndProc, the default handling that every
// framework window shares, and the message loop that runs until the window is destroyed.
// An object makes at most one window in its life; the window goes with the object.
// An exception thrown by a WndProc ends its window (destroyed, WM_QUIT posted with
// kWndProcFailedExitCode) and is thrown again by the DoModal or Create that is running.
class TESSEL_API CBaseDlg {
public:
    static constexpr int kWndProcFailedExitCode = 5;

    CBaseDlg();
    // Destroys the window if it still lives (its later messages go to the default procedure;
    // a derived window's own handling is gone by then), then releases what no window released.
    virtual ~CBaseDlg();

    // The object owns GDI objects and is bound to at most one window: it is never copied.
    CBaseDlg(const CBaseDlg&) = delete;
    CBaseDlg& operator=(const CBaseDlg&) = delete;

    // Resets every field and makes the default font (at 96 DPI).
    void Init();
    // The default font for a window shown at that DPI: 15 pixels high at 96 DPI, in proportion
    // at others. The caller owns it.
    static HFONT CreateDefaultFont(UINT nDpi);
    // Creates the window with a class of its own, once: while the window lives, returns it;
    // after it has been destroyed, null (a second window would find the font released and a
    // derived window's state built twice).
    HWND Create(HWND hParent, HINSTANCE hInstance, DWORD dwStyle);

    // Paints the window's content at WM_PAINT: the background brush over m_rect, if one is set.
    virtual void Draw(HDC hdc);
    // Default handling; a derived window calls it for the messages it does not consume.
    virtual LRESULT WndProc(UINT uMsg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK STWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    // Runs messages until a WM_QUIT (posted when a framework window is destroyed), keeping the
    // parent's top-level window disabled meanwhile. A filter that returns non-zero consumes the
    // message.
    static void DoModal(HWND hWnd, HWND hParent, int (*pfnFilter)(MSG*));

    // Centres the window on the screen with the size of m_rect.
    void CenterWnd();
    // The top-left corner that centres a box of that size on the screen.
    static POINT CenterWnd(int nWidth, int nHeight);
    // Replaces style bits; FALSE when nothing changes. Non-zero nFlags make the frame take the
    // change through SetWindowPos (never moving, sizing, reordering or activating).
    static BOOL ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags);

    void SetBgColor(int color);
    // The minimum tracking size (outer size) reported at WM_GETMINMAXINFO.
    void SetWndMinSize(int nWidth, int nHeight);
    // Moves the window; m_rect follows at the WM_SIZE that a change of size brings.
    void UpdateSize(int x, int y, int nWidth, int nHeight);

    HWND GetHwnd() const;
    // The parent as recorded by Create; no call to the window manager.
    HWND GetParent() const;
    void SetParent(HWND hParent);
    const RECT& GetRect() const;
    int GetModalRslt() const;
    void SetModalRslt(int nRslt);

    // Init gives every field its starting value; these only keep the object defined until then.
    bool m_bCreated = false;
    HWND m_hWnd = nullptr;
    HBRUSH m_hBgBrush = nullptr; // owned; released at WM_DESTROY
    HWND m_hParent = nullptr;
    RECT m_rect = {};        // the client rectangle
    HFONT m_hFont = nullptr; // owned; released at WM_DESTROY
    int m_nMinWidth = 0;
    int m_nMinHeight = 0;
    int m_nModalRslt = -1;

protected:
    // Registers the class (a fresh one when pszClassName is null or empty) and creates the
    // window bound to this object; null on failure.
    HWND Create(WNDPROC pfnWndProc, const wchar_t* pszClassName, HWND hParent, HINSTANCE hInstance,
                DWORD dwStyle);

private:
    static LRESULT Dispatch(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    bool m_bHadWindow = false; // set when a window first reaches the object at WM_CREATE
};

} // namespace Tessel
