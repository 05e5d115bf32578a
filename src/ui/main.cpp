// Program entry: the main window and its message loop.
#include <windows.h>
#include <commctrl.h>

#include "ui/main_window.h"

// The parameters keep the names the system header gives them.
int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR, int nShowCmd) {
    // Before anything else loads: DLLs come from the system folder only, never from the
    // folder the program was started from (a Downloads folder may hold planted ones).
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    HWND window = ui::CreateMainWindow(hInstance, nShowCmd);
    if (window == nullptr) {
        MessageBoxW(nullptr, L"无法创建程序窗口", L"信息：", MB_OK | MB_ICONERROR);
        return 1;
    }

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
