#include "ui/main_window.h"

#include <utility>

#include "repair/repair.h"

namespace ui {
namespace {

constexpr int kButtonId = 1;

struct Control {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    int left, top, width, height;
};

// 标签2, 标签1 and 按钮1, in client coordinates; none overlaps another.
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr Control kControls[] = {
    {0, kLabelClass, L"此软件用于zarnik功能无法开启", kChild, 24, 24, 328, 24},
    {0, kLabelClass, L"退出zarnik再使用此软件，不然的话可能会修复失败", kChild, 24, 64, 352, 40},
    {kButtonId, L"BUTTON", L"zarnik功能修复",
     kChild | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE, 112, 152, 120, 32},
};

HFONT GuiFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

void RunRepairWithWaitCursor() {
    // The window handles no messages while a large folder is removed: say so with the cursor.
    const HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    repair::RunRepair();
    SetCursor(previous);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: {
            RECT area;
            GetClientRect(window, &area);
            FillRect(reinterpret_cast<HDC>(wParam), &area, GetSysColorBrush(COLOR_BTNFACE));
            return 1;
        }
        case WM_SETFOCUS:
            // Only the button takes the keyboard focus.
            if (HWND button = GetDlgItem(window, kButtonId)) SetFocus(button);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kButtonId && HIWORD(wParam) == BN_CLICKED) {
                RunRepairWithWaitCursor();
            }
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

// The window and its labels share one class style: redrawn whole when resized, double
// clicks, the arrow cursor, and no class brush (each paints its own background).
bool RegisterWindowClass(HINSTANCE instance, const wchar_t* className, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className;
    return RegisterClassExW(&windowClass) != 0;
}

void SetIcons(HINSTANCE instance, HWND window) {
    for (const auto& [size, which] : {std::pair{32, ICON_BIG}, std::pair{16, ICON_SMALL}}) {
        const HANDLE icon = LoadImageW(instance, L"DEFAULT_ICON", IMAGE_ICON, size, size, 0);
        SendMessageW(window, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    }
}

}  // namespace

HWND CreateMainWindow(HINSTANCE instance, int showCommand) {
    if (!RegisterWindowClass(instance, kMainWindowClass, MainWindowProc) ||
        !RegisterWindowClass(instance, kLabelClass, LabelProc)) {
        return nullptr;
    }

    const int left = (GetSystemMetrics(SM_CXSCREEN) - kWindowWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - kWindowHeight) / 2;
    HWND window = CreateWindowExW(
        0, kMainWindowClass, L"",
        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, left, top,
        kWindowWidth, kWindowHeight, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return nullptr;
    RECT outer;
    GetWindowRect(window, &outer);
    if (outer.right - outer.left != kWindowWidth || outer.bottom - outer.top != kWindowHeight) {
        SetWindowPos(window, nullptr, 0, 0, kWindowWidth, kWindowHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), FALSE);
    SetIcons(instance, window);
    for (const Control& control : kControls) {
        HWND child = CreateWindowExW(
            0, control.className, control.text, control.style, control.left, control.top,
            control.width, control.height, window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
        if (child == nullptr) {
            DestroyWindow(window);
            return nullptr;
        }
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), FALSE);
    }

    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return window;
}

}  // namespace ui
