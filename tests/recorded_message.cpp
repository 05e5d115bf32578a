#include "recorded_message.h"

#include "platform/platform.h"

namespace recorded {

std::vector<Message>& Messages() {
    static std::vector<Message> messages;
    return messages;
}

}  // namespace recorded

namespace platform {

void ShowMessageBox(const std::wstring& text, const std::wstring& caption, unsigned style) {
    recorded::Messages().push_back({text, caption, style});
}

}  // namespace platform
