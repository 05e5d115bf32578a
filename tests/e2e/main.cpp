// Usage: end_to_end_tests <path of ZarnikRepair.exe>
#include <gtest/gtest.h>

#include <cstdio>

#include "program.h"

namespace {
std::wstring g_program;
}

namespace e2e {
const std::wstring& ProgramPath() { return g_program; }
}  // namespace e2e

int wmain(int argc, wchar_t** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: end_to_end_tests <path of ZarnikRepair.exe>\n");
        return 2;
    }
    g_program = argv[1];
    return RUN_ALL_TESTS();
}
