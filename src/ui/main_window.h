// The program's one window: two labels and the repair button.
#pragma once

#include <windows.h>

namespace ui {

inline constexpr wchar_t kMainWindowClass[] = L"ZarnikRepairWindow";
inline constexpr wchar_t kLabelClass[] = L"ZarnikRepairLabel";
inline constexpr int kWindowWidth = 380;
inline constexpr int kWindowHeight = 250;

// Registers the window classes and creates MainWindow, centred on the primary screen and
// shown; nullptr if it cannot be created.
HWND CreateMainWindow(HINSTANCE instance, int showCommand);

// The window procedure of the labels: child windows that paint their own text.
LRESULT CALLBACK LabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace ui
