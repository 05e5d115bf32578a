// Finding and reading the windows of another process, as UI automation does.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace automation {

std::wstring ClassName(HWND window);
std::wstring Text(HWND window);
// A window's rectangle in the client coordinates of `parent` (the screen when nullptr).
RECT RectIn(HWND window, HWND parent);

// Polls `done` every 20 ms until it holds or `timeoutMs` has passed; its last answer.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);

// The visible top-level windows of a class, of one process (0: of any process).
std::vector<HWND> TopLevelWindows(const std::wstring& className, DWORD processId = 0);
std::vector<HWND> Children(HWND parent);

inline constexpr wchar_t kMainWindowClass[] = L"ZarnikRepairWindow";
inline constexpr wchar_t kMessageBoxClass[] = L"#32770";

}  // namespace automation
