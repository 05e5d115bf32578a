// File-system operations over the wide-character Win32 calls, on long-path (\\?\) forms.
#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "platform/platform.h"

namespace platform {
namespace {

constexpr wchar_t kLongPrefix[] = L"\\\\?\\";

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    return text.rfind(prefix, 0) == 0;
}

void FillEntry(const WIN32_FIND_DATAW& data, FolderEntry& entry) {
    entry.name = data.cFileName;
    entry.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.isReparsePoint = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

}  // namespace

std::wstring LongPathForm(const std::wstring& path) {
    if (path.empty() || StartsWith(path, kLongPrefix)) return path;
    // The \\?\ form skips the system's own normalisation, so normalise first (this also
    // drops trailing dots and spaces of the last name, as the plain form would).
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring full(needed, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (written == 0 || written >= needed) return path;
    full.resize(written);
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') return kLongPrefix + full;
    // A share, \\server\share\...; device paths (\\.\...) are left as they are.
    if (StartsWith(full, L"\\\\") && !StartsWith(full, L"\\\\.\\")) {
        return std::wstring(kLongPrefix) + L"UNC\\" + full.substr(2);
    }
    return full;
}

SearchHandle StartFolderSearch(const std::wstring& folder, FolderEntry& first) {
    const std::wstring pattern = LongPathForm(folder) + L"\\*";
    WIN32_FIND_DATAW data;
    // Basic information (no short names) in large fetches: fewer, cheaper calls per folder.
    const HANDLE search =
        FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                         FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) return kNoSearch;
    FillEntry(data, first);
    // The search handle itself stands for the search.
    return static_cast<SearchHandle>(search);
}

bool ContinueFolderSearch(SearchHandle search, FolderEntry& next) {
    WIN32_FIND_DATAW data;
    if (!FindNextFileW(search, &data)) return false;
    FillEntry(data, next);
    return true;
}

void CloseFolderSearch(SearchHandle search) { FindClose(search); }

bool DeleteOneFile(const std::wstring& path) {
    return DeleteFileW(LongPathForm(path).c_str()) != 0;
}

bool RemoveEmptyFolder(const std::wstring& path) {
    return RemoveDirectoryW(LongPathForm(path).c_str()) != 0;
}

PathInfo InspectPath(const std::wstring& path) {
    // Reports the link itself, not what it points to.
    const DWORD attributes = GetFileAttributesW(LongPathForm(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        const bool absent = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                            error == ERROR_INVALID_NAME;
        // Anything else (access denied, a sharing violation) means something is there.
        return PathInfo{!absent, false, false};
    }
    return PathInfo{true, (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                    (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0};
}

std::optional<std::wstring> RoamingAppDataFolder() {
    PWSTR folder = nullptr;
    const HRESULT result = SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &folder);
    std::optional<std::wstring> answer;
    if (SUCCEEDED(result) && folder != nullptr && folder[0] != L'\0') answer = folder;
    CoTaskMemFree(folder);
    return answer;
}

}  // namespace platform
