// Used by the run script without a display: "wait" returns once the program's window is
// up and painted, "close" closes it as its close button would. "idle" only waits a minute:
// the end-to-end test uses it as a program that does not restrict where DLLs come from.
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "ui_automation.h"

int wmain(int argc, wchar_t** argv) {
    using namespace automation;
    if (argc == 2 && std::wcscmp(argv[1], L"wait") == 0) {
        if (!WaitUntil([] { return !TopLevelWindows(kMainWindowClass).empty(); }, 60000)) {
            std::fprintf(stderr, "the window did not appear\n");
            return 1;
        }
        Sleep(1500);  // let it paint
        return 0;
    }
    if (argc == 2 && std::wcscmp(argv[1], L"close") == 0) {
        for (HWND window : TopLevelWindows(kMainWindowClass)) PostMessageW(window, WM_CLOSE, 0, 0);
        return 0;
    }
    if (argc == 2 && std::wcscmp(argv[1], L"idle") == 0) {
        Sleep(60000);
        return 0;
    }
    std::fprintf(stderr, "usage: window_tool wait|close|idle\n");
    return 2;
}
