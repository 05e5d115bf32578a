#include <windows.h>

#include <functional>
#include <stdexcept>
#include <vector>

#include "disk_fixture.h"
#include "platform/platform.h"

namespace disk {
namespace {

std::wstring Long(const std::wstring& path) { return platform::LongPathForm(path); }

void Check(bool ok, const char* what) {
    if (!ok)
        throw std::runtime_error(std::string(what) + " failed, error " +
                                 std::to_string(GetLastError()));
}

}  // namespace

std::wstring NewScratchFolder() {
    wchar_t temp[MAX_PATH + 1];
    Check(GetTempPathW(MAX_PATH + 1, temp) != 0, "GetTempPathW");
    std::wstring base(temp);
    if (!base.empty() && base.back() == L'\\') base.pop_back();
    for (unsigned attempt = GetTickCount();; ++attempt) {
        const std::wstring folder = base + L"\\zarnik-test-" + std::to_wstring(attempt);
        if (CreateDirectoryW(folder.c_str(), nullptr)) return folder;
        Check(GetLastError() == ERROR_ALREADY_EXISTS, "CreateDirectoryW");
    }
}

void MakeFolder(const std::wstring& path) {
    const std::wstring full = Long(path);
    if (GetFileAttributesW(full.c_str()) != INVALID_FILE_ATTRIBUTES) return;
    MakeFolder(path.substr(0, path.rfind(L'\\')));
    Check(CreateDirectoryW(full.c_str(), nullptr) != 0, "CreateDirectoryW");
}

void MakeFile(const std::wstring& path, const std::string& content) {
    MakeFolder(path.substr(0, path.rfind(L'\\')));
    const HANDLE file = CreateFileW(Long(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    Check(file != INVALID_HANDLE_VALUE, "CreateFileW");
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
    Check(ok && written == content.size(), "WriteFile");
}

std::string ReadFile(const std::wstring& path) {
    const HANDLE file = CreateFileW(Long(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string content;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        content.append(buffer, read);
    }
    CloseHandle(file);
    return content;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(Long(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {

bool IsLink(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(Long(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Runs a host program under Wine, with the given Windows paths turned into Unix paths as
// its last arguments, and waits until `done` says its work is visible.
bool RunUnixCommand(const std::string& program, const std::vector<std::wstring>& paths,
                    const std::function<bool()>& done) {
    using UnixName = char*(CDECL*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    if (unixName == nullptr) return false;
    std::string command = program;
    for (const std::wstring& path : paths) {
        char* unixPath = unixName(path.c_str());
        if (unixPath == nullptr) return false;
        command += std::string(" \"") + unixPath + "\"";
        HeapFree(GetProcessHeap(), 0, unixPath);
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const std::string executable = command.substr(0, command.find(' '));
    if (!CreateProcessA(executable.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return false;
    }
    // Wine gives no handle to wait on for a Unix program: wait for its effect.
    for (int tries = 0; tries < 250 && !done(); ++tries) Sleep(20);
    return done();
}

}  // namespace

bool MakeFolderLink(const std::wstring& link, const std::wstring& target) {
    if (CreateSymbolicLinkW(Long(link).c_str(), Long(target).c_str(),
                            SYMBOLIC_LINK_FLAG_DIRECTORY) &&
        IsLink(link)) {
        return true;
    }
    // Wine answers CreateSymbolicLinkW without making a link; there a Unix symbolic link,
    // made by the host's ln, shows as a folder link, as on Windows.
    return RunUnixCommand("/bin/ln -s", {target, link}, [&] { return IsLink(link); });
}

bool FolderLinksAreRemovable() {
    return GetProcAddress(GetModuleHandleW(L"ntdll"), "wine_get_version") == nullptr;
}

void RemoveScratch(const std::wstring& path) {
    // Depth first with an explicit stack; links are removed, not entered.
    std::vector<std::pair<std::wstring, bool>> pending{{Long(path), false}};
    while (!pending.empty()) {
        auto [folder, listed] = pending.back();
        if (listed) {
            RemoveDirectoryW(folder.c_str());
            pending.pop_back();
            continue;
        }
        pending.back().second = true;
        WIN32_FIND_DATAW data;
        const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &data);
        if (search == INVALID_HANDLE_VALUE) continue;
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring entry = folder + L"\\" + name;
            SetFileAttributesW(entry.c_str(), FILE_ATTRIBUTE_NORMAL);
            const DWORD attributes = data.dwFileAttributes;
            if ((attributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                pending.push_back({entry, false});
            } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveDirectoryW(entry.c_str());
            } else {
                DeleteFileW(entry.c_str());
            }
        } while (FindNextFileW(search, &data));
        FindClose(search);
    }
    // Links that Wine cannot remove go with the host's rm, which does not follow them.
    if (Exists(path)) RunUnixCommand("/bin/rm -rf", {path}, [&] { return !Exists(path); });
}

HeldOpen::HeldOpen(const std::wstring& path) {
    const HANDLE file = CreateFileW(Long(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) handle_ = file;
}

HeldOpen::~HeldOpen() {
    if (handle_ != nullptr) CloseHandle(handle_);
}

void SetReadOnly(const std::wstring& path, bool readOnly) {
    Check(SetFileAttributesW(Long(path).c_str(),
                             readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL) != 0,
          "SetFileAttributesW");
}

}  // namespace disk
