// The page's scrolling: scroll bars when the window is smaller than the page, moved in the
// layout's steps.
#include <algorithm>

#include "platform/ui/win/win_control_set.h"

namespace zn::ui::win {

namespace {

// GetSystemMetricsForDpi, where the system has it (Windows 10 1607 and later): the scroll bars'
// sizes at the page's DPI, not the system's.
int metric_at(int index, int dpi) noexcept {
    using MetricsForDpi = int(WINAPI*)(int, UINT);
    static const auto metrics_for_dpi = [] {
        const HMODULE user = GetModuleHandleW(L"user32.dll");
        return user ? reinterpret_cast<MetricsForDpi>(
                          reinterpret_cast<void*>(GetProcAddress(user, "GetSystemMetricsForDpi")))
                    : nullptr;
    }();
    return metrics_for_dpi ? metrics_for_dpi(index, static_cast<UINT>(dpi)) : GetSystemMetrics(index);
}

}  // namespace

void Win32ControlSet::update_scroll_bars() {
    update_scroll_bars(scroll_x_, scroll_y_);
}

void Win32ControlSet::update_scroll_bars(int want_x, int want_y) {
    if (!page_) return;
    // With both bars showing the client area is smaller; ask for the whole window's size.
    RECT outer{};
    GetWindowRect(page_.get(), &outer);
    const int page_w = pixels(layout_.width);
    const int page_h = pixels(layout_.height);
    const int full_w = outer.right - outer.left;
    const int full_h = outer.bottom - outer.top;
    const int bar_w = metric_at(SM_CXVSCROLL, dpi_);
    const int bar_h = metric_at(SM_CYHSCROLL, dpi_);
    const bool need_h = full_w < page_w || (full_h < page_h && full_w - bar_w < page_w);
    const bool need_v = full_h < page_h || (need_h && full_h - bar_h < page_h);
    const int view_w = full_w - (need_v ? bar_w : 0);
    const int view_h = full_h - (need_h ? bar_h : 0);
    ShowScrollBar(page_.get(), SB_HORZ, need_h);
    ShowScrollBar(page_.get(), SB_VERT, need_v);
    const int x = need_h ? std::clamp(want_x, 0, std::max(page_w - view_w, 0)) : 0;
    const int y = need_v ? std::clamp(want_y, 0, std::max(page_h - view_h, 0)) : 0;
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
    info.nMax = page_w - 1;
    info.nPage = static_cast<UINT>(std::max(view_w, 0));
    info.nPos = x;
    SetScrollInfo(page_.get(), SB_HORZ, &info, TRUE);
    info.nMax = page_h - 1;
    info.nPage = static_cast<UINT>(std::max(view_h, 0));
    info.nPos = y;
    SetScrollInfo(page_.get(), SB_VERT, &info, TRUE);
    scroll_to(x, y);
}

void Win32ControlSet::scroll_to(int x, int y) {
    const int dx = scroll_x_ - x;
    const int dy = scroll_y_ - y;
    scroll_x_ = x;
    scroll_y_ = y;
    if (dx != 0 || dy != 0)
        ScrollWindowEx(page_.get(), dx, dy, nullptr, nullptr, nullptr, nullptr,
                       SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    // Also when the page did not move: a thumb dragged between two steps goes back to the step.
    if (GetScrollPos(page_.get(), SB_HORZ) != scroll_x_) SetScrollPos(page_.get(), SB_HORZ, scroll_x_, TRUE);
    if (GetScrollPos(page_.get(), SB_VERT) != scroll_y_) SetScrollPos(page_.get(), SB_VERT, scroll_y_, TRUE);
}

void Win32ControlSet::on_scroll(int bar, WORD request) {
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    if (!GetScrollInfo(page_.get(), bar, &info)) return;
    const int step = pixels(bar == SB_HORZ ? layout_.scroll_step_x : layout_.scroll_step_y);
    const int last = std::max(info.nMax + 1 - static_cast<int>(info.nPage), 0);
    int pos = info.nPos;
    switch (request) {
        case SB_LINEUP:
            pos -= step;
            break;
        case SB_LINEDOWN:
            pos += step;
            break;
        case SB_PAGEUP:
            pos -= std::max(static_cast<int>(info.nPage) / step, 1) * step;
            break;
        case SB_PAGEDOWN:
            pos += std::max(static_cast<int>(info.nPage) / step, 1) * step;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            pos = info.nTrackPos / step * step;
            break;
        case SB_TOP:
            pos = 0;
            break;
        case SB_BOTTOM:
            pos = last;
            break;
        default:
            return;
    }
    pos = std::clamp(pos, 0, last);
    if (bar == SB_HORZ)
        scroll_to(pos, scroll_y_);
    else
        scroll_to(scroll_x_, pos);
}

}  // namespace zn::ui::win
