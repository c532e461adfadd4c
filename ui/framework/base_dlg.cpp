#include "ui/framework/base_dlg.h"

#include "ui/framework/class_name.h"
#include "ui/framework/dpi_scale.h"
#include "ui/framework/framework_texts.h"
#include "ui/framework/gdi_object.h"
#include "ui/framework/wndproc_failure.h"

namespace Tessel {

namespace {

// Queued for every new window once its creation has finished; nothing handles it.
constexpr UINT kAfterCreateMessage = 100;
constexpr RECT kInitialRect = {0, 0, 750, 450};
// The default font's character height at 96 DPI.
constexpr int kDefaultFontHeight = 15;

bool RegisterWindowClass(const wchar_t* pszName, WNDPROC pfnWndProc, HINSTANCE hInstance) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    if (GetClassInfoExW(hInstance, pszName, &windowClass))
        return true;
    windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_PARENTDC;
    windowClass.lpfnWndProc = pfnWndProc;
    windowClass.hInstance = hInstance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    // No background brush: the window never lets the system erase its background.
    windowClass.lpszClassName = pszName;
    return RegisterClassExW(&windowClass) != 0;
}

CBaseDlg* BoundObject(HWND hWnd) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the window stores the object's address
    return reinterpret_cast<CBaseDlg*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
}

CBaseDlg* ObjectAtCreate(LPARAM lParam) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): WM_CREATE carries a CREATESTRUCTW
    const auto* pCreate = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    return static_cast<CBaseDlg*>(pCreate->lpCreateParams);
}

// Messages after WM_DESTROY (m_hWnd already cleared) go to the default procedure with the
// real handle; at WM_NCDESTROY the window lets go of the object.
LRESULT PassAfterDestroy(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg == WM_NCDESTROY)
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
    return DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

// The window whose procedure threw goes (failing its creation, if that is under way) and the
// innermost message loop ends.
LRESULT OnWndProcFailure(HWND hWnd, UINT uMsg) {
    KeepWndProcFailure(std::current_exception());
    if (uMsg == WM_CREATE)
        return -1;
    if (uMsg != WM_DESTROY && uMsg != WM_NCDESTROY)
        DestroyWindow(hWnd);
    PostQuitMessage(CBaseDlg::kWndProcFailedExitCode);
    return 0;
}

LRESULT OnDestroy(CBaseDlg& dlg, WPARAM wParam, LPARAM lParam) {
    // The font and the brush go with the window, not with the object, which may live on.
    ReleaseGdiObject(dlg.m_hFont);
    ReleaseGdiObject(dlg.m_hBgBrush);
    DefWindowProcW(dlg.m_hWnd, WM_DESTROY, wParam, lParam);
    dlg.m_hWnd = nullptr;
    if (dlg.m_hParent) {
        EnableWindow(dlg.m_hParent, TRUE);
        SendMessageW(dlg.m_hParent, WM_NULL, 0, 0);
    }
    PostQuitMessage(0);
    return 1;
}

void OnPaint(CBaseDlg& dlg) {
    PAINTSTRUCT paint;
    const HDC hdc = BeginPaint(dlg.m_hWnd, &paint);
    dlg.Draw(hdc);
    EndPaint(dlg.m_hWnd, &paint);
}

void OnGetMinMaxInfo(const CBaseDlg& dlg, LPARAM lParam) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): WM_GETMINMAXINFO carries a MINMAXINFO
    auto* pInfo = reinterpret_cast<MINMAXINFO*>(lParam);
    pInfo->ptMinTrackSize = {dlg.m_nMinWidth, dlg.m_nMinHeight};
}

// A press anywhere on the window's own client area drags the window, as its caption would.
void OnLButtonDown(const CBaseDlg& dlg) {
    SendMessageW(dlg.m_hWnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
}

} // namespace

CBaseDlg::CBaseDlg() {
    Init();
}

CBaseDlg::~CBaseDlg() {
    // Left alive, the window would reach this object's memory after its end.
    if (IsWindow(m_hWnd) && BoundObject(m_hWnd) == this)
        DestroyWindow(m_hWnd);
    ReleaseGdiObject(m_hFont);
    ReleaseGdiObject(m_hBgBrush);
}

void CBaseDlg::Init() {
    m_bCreated = false;
    m_hWnd = nullptr;
    m_hBgBrush = nullptr;
    m_hParent = nullptr;
    m_rect = kInitialRect;
    m_hFont = CreateDefaultFont(kDesignDpi);
    m_nMinWidth = 0;
    m_nMinHeight = 0;
    m_nModalRslt = -1;
}

HWND CBaseDlg::Create(HWND hParent, HINSTANCE hInstance, DWORD dwStyle) {
    if (!m_hWnd)
        m_hWnd = Create(STWndProc, nullptr, hParent, hInstance, dwStyle);
    return m_hWnd;
}

HWND CBaseDlg::Create(WNDPROC pfnWndProc, const wchar_t* pszClassName, HWND hParent,
                      HINSTANCE hInstance, DWORD dwStyle) {
    if (IsWindow(m_hWnd))
        return m_hWnd;
    if (m_bHadWindow)
        return nullptr;
    const ClassName name = MakeClassName(pszClassName);
    if (!RegisterWindowClass(name.data(), pfnWndProc, hInstance))
        return nullptr;
    const HWND hWnd = CreateWindowExW(0, name.data(), nullptr, dwStyle, 0, 0, 0, 0, hParent,
                                      nullptr, hInstance, this);
    RethrowWndProcFailure();
    if (!hWnd)
        return nullptr;
    m_hWnd = hWnd;
    m_hParent = hParent;
    PostMessageW(hWnd, kAfterCreateMessage, 0, 0);
    return hWnd;
}

HFONT CBaseDlg::CreateDefaultFont(UINT nDpi) {
    return CreateFontW(-ScaleForDpi(kDefaultFontHeight, nDpi), 0, 0, 0, FW_DONTCARE, FALSE, FALSE,
                       FALSE, GB2312_CHARSET, OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS, DRAFT_QUALITY,
                       VARIABLE_PITCH, kDefaultFontFace);
}

void CBaseDlg::Draw(HDC hdc) {
    if (m_hBgBrush)
        FillRect(hdc, &m_rect, m_hBgBrush);
}

LRESULT CALLBACK CBaseDlg::STWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    try {
        return Dispatch(hWnd, uMsg, wParam, lParam);
    } catch (...) {
        return OnWndProcFailure(hWnd, uMsg);
    }
}

LRESULT CBaseDlg::Dispatch(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (CBaseDlg* pDlg = BoundObject(hWnd)) {
        if (pDlg->m_hWnd != hWnd)
            return PassAfterDestroy(hWnd, uMsg, wParam, lParam);
        const LRESULT result = pDlg->WndProc(uMsg, wParam, lParam);
        // A window whose WM_CREATE did not reach the base still held the object up to here.
        if (uMsg == WM_NCDESTROY) {
            SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
            pDlg->m_hWnd = nullptr;
        }
        return result;
    }
    CBaseDlg* pDlg = uMsg == WM_CREATE ? ObjectAtCreate(lParam) : nullptr;
    if (!pDlg)
        return DefWindowProcW(hWnd, uMsg, wParam, lParam);
    pDlg->m_hWnd = hWnd;
    pDlg->m_bHadWindow = true;
    SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pDlg));
    return pDlg->WndProc(WM_CREATE, wParam, lParam);
}

LRESULT CBaseDlg::WndProc(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_CREATE:
        m_bCreated = true;
        break;
    case WM_DESTROY:
        if (m_bCreated)
            return OnDestroy(*this, wParam, lParam);
        break;
    case WM_SIZE:
        GetClientRect(m_hWnd, &m_rect);
        break;
    case WM_PAINT:
        OnPaint(*this);
        return 1;
    case WM_ERASEBKGND:
        return 1;
    case WM_GETMINMAXINFO:
        OnGetMinMaxInfo(*this, lParam);
        break;
    case WM_LBUTTONDOWN:
        OnLButtonDown(*this);
        break;
    }
    return DefWindowProcW(m_hWnd, uMsg, wParam, lParam);
}

void CBaseDlg::SetBgColor(int color) {
    ReplaceSolidBrush(m_hBgBrush, color);
}

void CBaseDlg::SetWndMinSize(int nWidth, int nHeight) {
    m_nMinWidth = nWidth;
    m_nMinHeight = nHeight;
}

HWND CBaseDlg::GetHwnd() const {
    return m_hWnd;
}

HWND CBaseDlg::GetParent() const {
    return m_hParent;
}

void CBaseDlg::SetParent(HWND hParent) {
    m_hParent = hParent;
}

const RECT& CBaseDlg::GetRect() const {
    return m_rect;
}

int CBaseDlg::GetModalRslt() const {
    return m_nModalRslt;
}

void CBaseDlg::SetModalRslt(int nRslt) {
    m_nModalRslt = nRslt;
}

} // namespace Tessel
