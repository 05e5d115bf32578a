// Removal of a folder tree.
//
// Each level is listed completely, and its search closed, before any of its entries is
// removed; entries go in listing order, a folder's contents before the folder. Nothing is
// retried and no attribute is changed: an entry that cannot be removed stays, and so does
// every folder above it. Links are removed as entries and never descended into, so a
// removal cannot reach outside the folder it was given.
#include "repair/repair.h"

#include <utility>
#include <vector>

#include "platform/platform.h"

namespace repair {
namespace {

using platform::FolderEntry;

// "X:" (the current folder of a drive) and "X:\" (its root) stand for a whole drive.
bool IsDriveRoot(const std::wstring& path) {
    if (path.size() < 2 || path[1] != L':') return false;
    return path.size() == 2 || (path.size() == 3 && path[2] == L'\\');
}

bool IsSelfOrParent(const std::wstring& name) { return name == L"." || name == L".."; }

std::vector<FolderEntry> ListFolder(const std::wstring& folder) {
    std::vector<FolderEntry> listing;
    FolderEntry entry;
    const platform::SearchHandle search = platform::StartFolderSearch(folder, entry);
    if (search == platform::kNoSearch) return listing;
    do {
        if (!IsSelfOrParent(entry.name)) listing.push_back(std::move(entry));
    } while (platform::ContinueFolderSearch(search, entry));
    platform::CloseFolderSearch(search);
    return listing;
}

// One folder being emptied: its listing and how far the removal has got.
struct Level {
    std::vector<FolderEntry> entries;
    std::size_t next = 0;
    std::size_t pathLength = 0;  // length of this folder's path in the shared path buffer
};

}  // namespace

void EmptyFolder(const std::wstring& folder) {
    // One buffer for every path: each level knows how much of it names its folder.
    std::wstring path = folder;
    std::vector<Level> levels;
    levels.push_back({ListFolder(path), 0, path.size()});
    while (!levels.empty()) {
        Level& level = levels.back();
        if (level.next == level.entries.size()) {
            const std::size_t folderLength = level.pathLength;
            levels.pop_back();
            if (levels.empty()) break;  // the folder given is removed by the caller
            path.resize(folderLength);
            platform::RemoveEmptyFolder(path);
            continue;
        }
        const FolderEntry& entry = level.entries[level.next++];
        path.resize(level.pathLength);
        path += L'\\';
        path += entry.name;
        if (entry.isFolder && !entry.isReparsePoint) {
            levels.push_back({ListFolder(path), 0, path.size()});
        } else if (entry.isFolder) {
            platform::RemoveEmptyFolder(path);  // a link to a folder: the link alone goes
        } else {
            platform::DeleteOneFile(path);  // a file, or a link to one
        }
    }
}

bool RemoveFolderTree(const std::wstring& path) {
    const std::size_t start = path.find_first_not_of(L' ');
    if (start == std::wstring::npos) return false;
    const std::wstring given = path.substr(start);
    if (IsDriveRoot(given)) return false;

    const std::wstring folder = platform::LongPathForm(given);
    const platform::PathInfo info = platform::InspectPath(folder);
    if (!info.exists || !info.isFolder) return false;
    if (!info.isReparsePoint) EmptyFolder(folder);
    return platform::RemoveEmptyFolder(folder);
}

}  // namespace repair
