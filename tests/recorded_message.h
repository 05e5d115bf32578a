// Message boxes of the disk tests are recorded, not shown.
#pragma once

#include <string>
#include <vector>

namespace recorded {

struct Message {
    std::wstring text;
    std::wstring caption;
    unsigned style;
};

std::vector<Message>& Messages();

}  // namespace recorded
