// Runs a function on a thread with a small stack, so that stack use growing with
// the depth of a tree shows up as a crash instead of passing on a large main stack.
#pragma once

#include <functional>

namespace testing_support {

inline constexpr unsigned kSmallStackBytes = 256 * 1024;

void RunOnSmallStack(const std::function<void()>& work);

}  // namespace testing_support
