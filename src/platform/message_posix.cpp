// The host build has no message boxes: the message goes to standard error.
#include <cstdio>

#include "platform/platform.h"
#include "platform/text_posix.h"

namespace platform {

void ShowMessageBox(const std::wstring& text, const std::wstring& caption, unsigned /*style*/) {
    std::fprintf(stderr, "%s %s\n", ToUtf8(caption).c_str(), ToUtf8(text).c_str());
}

}  // namespace platform
