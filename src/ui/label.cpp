// 标签: a borderless child window that paints its text on the dialog colour, one line,
// left-aligned and centred vertically. It never takes the keyboard focus.
#include <iterator>

#include "ui/main_window.h"

namespace ui {

LRESULT CALLBACK LabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETFONT:
            SetWindowLongPtrW(label, GWLP_USERDATA, static_cast<LONG_PTR>(wParam));
            if (LOWORD(lParam)) InvalidateRect(label, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return GetWindowLongPtrW(label, GWLP_USERDATA);
        case WM_ERASEBKGND:
            return 1;  // painted whole in WM_PAINT
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(label, &paint);
            RECT area;
            GetClientRect(label, &area);
            FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
            auto font = reinterpret_cast<HFONT>(GetWindowLongPtrW(label, GWLP_USERDATA));
            if (font == nullptr) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
            const HGDIOBJ oldFont = SelectObject(dc, font);
            SetTextColor(dc, RGB(0, 0, 0));
            SetBkMode(dc, TRANSPARENT);
            wchar_t text[256];
            const int length = GetWindowTextW(label, text, static_cast<int>(std::size(text)));
            DrawTextW(dc, text, length, &area, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOCLIP);
            SelectObject(dc, oldFont);
            EndPaint(label, &paint);
            return 0;
        }
        default:
            return DefWindowProcW(label, message, wParam, lParam);
    }
}

}  // namespace ui
