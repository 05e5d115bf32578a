#include <windows.h>

#include "platform/platform.h"

namespace platform {

void ShowMessageBox(const std::wstring& text, const std::wstring& caption, unsigned style) {
    MessageBoxW(nullptr, text.c_str(), caption.c_str(), style);
}

}  // namespace platform
