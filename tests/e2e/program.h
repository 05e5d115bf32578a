// The program under test, as given on the command line of the end-to-end tests.
#pragma once

#include <string>

namespace e2e {

const std::wstring& ProgramPath();

}  // namespace e2e
