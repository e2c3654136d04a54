#include "FinderTool.h"

#include <algorithm>
#include <utility>

#include "WindowList.h"

namespace remote {

std::string FinderWords(const FinderNews& news) {
    switch (news.what) {
    case FinderNews::What::Began:
        return "Drag onto the TV application's window and release the mouse button there.";
    case FinderNews::What::Over:
        return news.target ? "Release to take " + WindowWords(news.target) : "Drag onto the TV application's window.";
    case FinderNews::What::NothingTaken:
        return "No window taken.";
    case FinderNews::What::Took:
    case FinderNews::What::None:
        break;
    }
    return {};
}

namespace {

constexpr int kFrameThickness = 3;
constexpr wchar_t kFrameClass[] = L"QRTLRemoteFinderFrame";

// The outline's bars let the pointer through to the window below and paint
// themselves with the brush their finder holds (GWLP_USERDATA), so that the brush
// is freed with the finder rather than left to the window class.
LRESULT CALLBACK FrameProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCHITTEST) return HTTRANSPARENT;
    if (msg == WM_ERASEBKGND) {
        RECT r;
        ::GetClientRect(wnd, &r);
        ::FillRect(reinterpret_cast<HDC>(wParam), &r, reinterpret_cast<HBRUSH>(::GetWindowLongPtrW(wnd, GWLP_USERDATA)));
        return 1;
    }
    return ::DefWindowProcW(wnd, msg, wParam, lParam);
}

void RegisterFrameClass() {
    WNDCLASSW frameClass{};
    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = ::GetModuleHandleW(nullptr);
    frameClass.lpszClassName = kFrameClass;
    ::RegisterClassW(&frameClass);  // already there for a second finder: fine
}

POINT BoxCentre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

POINT PointOf(LPARAM lParam) { return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}; }

}  // namespace

FinderTool::FinderTool(HWND dlg, int box) : dlg_(dlg), box_(box), red_(::CreateSolidBrush(RGB(220, 0, 0))) {
    RegisterFrameClass();
}

void FinderTool::Draw(const DRAWITEMSTRUCT& item) const {
    RECT r = item.rcItem;
    const HDC dc = item.hDC;
    ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_WINDOW));
    ::DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
    if (dragging_) return;  // the crosshair is on the pointer now
    const POINT c = BoxCentre(r);
    const int radius = std::min(r.right - r.left, r.bottom - r.top) / 2 - 6;
    const qrtl::win32::UniqueHPen pen(::CreatePen(PS_SOLID, std::max(1, radius / 6), RGB(0, 0, 0)));
    const qrtl::win32::SelectedObject penIn(dc, pen.get());
    const qrtl::win32::SelectedObject brushIn(dc, ::GetStockObject(NULL_BRUSH));
    ::Ellipse(dc, c.x - radius, c.y - radius, c.x + radius + 1, c.y + radius + 1);
    const int reach = radius + 3;
    const int gap = std::max(2, radius / 4);
    const POINT strokes[4][2] = {{{c.x - reach, c.y}, {c.x - gap, c.y}},
                                 {{c.x + gap, c.y}, {c.x + reach + 1, c.y}},
                                 {{c.x, c.y - reach}, {c.x, c.y - gap}},
                                 {{c.x, c.y + gap}, {c.x, c.y + reach + 1}}};
    for (const auto& stroke : strokes) {
        ::MoveToEx(dc, stroke[0].x, stroke[0].y, nullptr);
        ::LineTo(dc, stroke[1].x, stroke[1].y);
    }
}

FinderNews FinderTool::OnMouse(UINT msg, LPARAM lParam, bool mayBegin) {
    FinderNews news;
    news.answer = TRUE;
    switch (msg) {
    case WM_LBUTTONDOWN:
        if (mayBegin && OnDown(PointOf(lParam)))
            news.what = FinderNews::What::Began;
        else
            news.answer = FALSE;
        return news;
    case WM_MOUSEMOVE:
        if (dragging_ && OnMove(PointOf(lParam), news.target)) news.what = FinderNews::What::Over;
        return news;
    case WM_LBUTTONUP:
        if (!dragging_) return news;
        news.target = OnUp(PointOf(lParam));
        news.what = news.target ? FinderNews::What::Took : FinderNews::What::NothingTaken;
        return news;
    case WM_CAPTURECHANGED:
        // Taken away (another window, Alt+Tab): the drag ends without a choice.
        if (dragging_) Cancel();
        return news;
    case WM_SETCURSOR:
        if (!dragging_) {
            news.answer = FALSE;
            return news;
        }
        ::SetCursor(::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_CROSS)));
        ::SetWindowLongPtrW(dlg_, DWLP_MSGRESULT, TRUE);  // the cursor is set: the dialog sets none
        return news;
    default:
        news.answer = FALSE;
        return news;
    }
}

bool FinderTool::OnDown(POINT client) {
    RECT r;
    ::GetWindowRect(::GetDlgItem(dlg_, box_), &r);
    ::MapWindowPoints(nullptr, dlg_, reinterpret_cast<POINT*>(&r), 2);
    if (!::PtInRect(&r, client)) return false;
    dragging_ = true;
    target_ = nullptr;
    ::SetCapture(dlg_);
    ::SetCursor(::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_CROSS)));
    RedrawBox();
    return true;
}

bool FinderTool::OnMove(POINT client, HWND& target) {
    POINT screen = client;
    ::ClientToScreen(dlg_, &screen);
    HWND under = ::WindowFromPoint(screen);
    under = under ? ::GetAncestor(under, GA_ROOT) : nullptr;
    if (under && OwnWindow(under)) under = nullptr;
    if (under == target_) return false;
    target_ = under;
    target = under;
    Highlight(under);
    return true;
}

HWND FinderTool::OnUp(POINT client) {
    HWND ignored = nullptr;
    OnMove(client, ignored);
    dragging_ = false;
    ::ReleaseCapture();
    Highlight(nullptr);
    RedrawBox();
    return std::exchange(target_, nullptr);
}

void FinderTool::Cancel() {
    dragging_ = false;
    target_ = nullptr;
    Highlight(nullptr);
    RedrawBox();
}

void FinderTool::Abort() const {
    if (dragging_) ::ReleaseCapture();
}

void FinderTool::RedrawBox() const { ::InvalidateRect(::GetDlgItem(dlg_, box_), nullptr, TRUE); }

// A red frame around the window under the pointer, of four thin topmost bars that
// the pointer passes through.
void FinderTool::Highlight(HWND target) {
    RECT r = {};
    if (target) ::GetWindowRect(target, &r);
    const int t = kFrameThickness;
    const RECT bars[4] = {{r.left, r.top, r.right, r.top + t},
                          {r.left, r.bottom - t, r.right, r.bottom},
                          {r.left, r.top, r.left + t, r.bottom},
                          {r.right - t, r.top, r.right, r.bottom}};
    for (int i = 0; i < 4; ++i) {
        qrtl::win32::UniqueHWnd& bar = frame_[i];
        if (!target) {
            if (bar) ::ShowWindow(bar.get(), SW_HIDE);
            continue;
        }
        if (!bar) {
            bar.reset(::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kFrameClass, L"",
                                        WS_POPUP, 0, 0, 0, 0, dlg_, nullptr, ::GetModuleHandleW(nullptr), nullptr));
            if (!bar) continue;
            ::SetWindowLongPtrW(bar.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(red_.get()));
        }
        ::SetWindowPos(bar.get(), HWND_TOPMOST, bars[i].left, bars[i].top, bars[i].right - bars[i].left,
                       bars[i].bottom - bars[i].top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
}

}  // namespace remote
