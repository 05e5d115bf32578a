// The operations the repair needs from the system, one thin wrapper per call.
// Defined once per platform in its own files (*_win32.cpp, *_posix.cpp); tests may
// link an in-memory definition instead. Paths use backslash separators throughout.
#pragma once

#include <optional>
#include <string>

namespace platform {

// One entry of a folder listing, as the system reports it.
struct FolderEntry {
    std::wstring name;
    bool isFolder = false;
    bool isReparsePoint = false;  // a junction or symbolic link: never descended into
};

// What is at a path, without following it if it is a link.
struct PathInfo {
    bool exists = false;  // also true when something is there but cannot be inspected
    bool isFolder = false;
    bool isReparsePoint = false;
};

// An open folder search; each platform defines what it holds.
struct FolderSearch;
using SearchHandle = FolderSearch*;
inline constexpr SearchHandle kNoSearch = nullptr;

// Message box styles, with the values Win32 gives them.
inline constexpr unsigned kMbOk = 0x0;
inline constexpr unsigned kMbIconWarning = 0x30;
inline constexpr unsigned kMbTaskModal = 0x2000;

// Starts listing `folder`; returns kNoSearch when nothing can be listed, else the
// handle and the first entry ("." and ".." included where the system reports them).
SearchHandle StartFolderSearch(const std::wstring& folder, FolderEntry& first);
// Next entry of the search; false when there are no more.
bool ContinueFolderSearch(SearchHandle search, FolderEntry& next);
void CloseFolderSearch(SearchHandle search);

bool DeleteOneFile(const std::wstring& path);
// Removes an empty folder, or a link to a folder without touching its target.
bool RemoveEmptyFolder(const std::wstring& path);
PathInfo InspectPath(const std::wstring& path);

// The absolute form of `path` that the file calls accept at any length
// (on Windows the \\?\ form); the path unchanged where no such form exists.
std::wstring LongPathForm(const std::wstring& path);

// The current user's roaming application-data folder; nullopt when the system cannot say.
std::optional<std::wstring> RoamingAppDataFolder();

// Shows a message and returns once the user has dismissed it.
void ShowMessageBox(const std::wstring& text, const std::wstring& caption, unsigned style);

}  // namespace platform
