// Removes one folder tree with RemoveFolderTree and prints how long the call took and the
// process's peak memory:  remove_bench [--floor] <folder>
//   -> "seconds=<s> peak_kib=<KiB> removed=<0|1>"
// --floor removes the tree with the fewest platform calls any removal needs (one listing per
// folder, one removal per entry), with none of RemoveFolderTree's bookkeeping: the cost of
// the system calls alone.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "repair/repair.h"

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <sys/resource.h>

#include "platform/text_posix.h"
#endif

namespace {

long PeakMemoryKib() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return -1;
    return static_cast<long>(counters.PeakWorkingSetSize / 1024);
#else
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
#endif
}

bool RemoveWithFewestCalls(const std::wstring& root) {
    std::vector<std::wstring> folders{root};
    std::vector<std::wstring> files;
    for (std::size_t next = 0; next < folders.size(); ++next) {
        const std::wstring folder = folders[next];
        platform::FolderEntry entry;
        const platform::SearchHandle search = platform::StartFolderSearch(folder, entry);
        if (search == platform::kNoSearch) continue;
        do {
            if (entry.name == L"." || entry.name == L"..") continue;
            (entry.isFolder ? folders : files).push_back(folder + L"\\" + entry.name);
        } while (platform::ContinueFolderSearch(search, entry));
        platform::CloseFolderSearch(search);
    }
    for (const std::wstring& file : files) platform::DeleteOneFile(file);
    bool removed = true;
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
        removed = platform::RemoveEmptyFolder(*folder);
    }
    return removed;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    const bool floor = argc == 3 && std::wstring(argv[1]) == L"--floor";
    if (argc != 2 && !floor) return 2;
    const std::wstring folder = platform::LongPathForm(argv[argc - 1]);
#else
int main(int argc, char** argv) {
    const bool floor = argc == 3 && std::string(argv[1]) == "--floor";
    if (argc != 2 && !floor) return 2;
    const std::wstring folder = platform::FromUtf8(argv[argc - 1]);
#endif
    const auto start = std::chrono::steady_clock::now();
    const bool removed = floor ? RemoveWithFewestCalls(folder) : repair::RemoveFolderTree(folder);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("seconds=%.6f peak_kib=%ld removed=%d\n", elapsed.count(), PeakMemoryKib(),
                removed ? 1 : 0);
    return removed ? 0 : 1;
}
