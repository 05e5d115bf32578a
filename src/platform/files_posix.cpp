// File-system operations of the host build, over POSIX calls. A symbolic link stands for
// a Windows link: reported with the reparse-point flag, removed itself, never followed.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/platform.h"
#include "platform/text_posix.h"

namespace platform {

struct FolderSearch {
    DIR* dir;
    std::string folder;
};

namespace {

bool IsFolderTarget(const std::string& path) {
    struct stat target {};
    return stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
}

bool ReadEntry(FolderSearch& search, FolderEntry& entry) {
    const dirent* item = readdir(search.dir);
    if (item == nullptr) return false;
    entry.name = FromUtf8(item->d_name);
    unsigned char type = item->d_type;
    // Most file systems give the type in the listing; the others need a look at the entry.
    if (type == DT_UNKNOWN || type == DT_LNK) {
        const std::string path = search.folder + "/" + item->d_name;
        struct stat own {};
        if (type == DT_UNKNOWN && lstat(path.c_str(), &own) == 0) {
            type = S_ISLNK(own.st_mode) ? DT_LNK : S_ISDIR(own.st_mode) ? DT_DIR : DT_REG;
        }
        if (type == DT_LNK) {
            entry.isReparsePoint = true;
            entry.isFolder = IsFolderTarget(path);
            return true;
        }
    }
    entry.isReparsePoint = false;
    entry.isFolder = type == DT_DIR;
    return true;
}

}  // namespace

std::wstring LongPathForm(const std::wstring& path) { return path; }

SearchHandle StartFolderSearch(const std::wstring& folder, FolderEntry& first) {
    const std::string native = ToNativePath(folder);
    DIR* dir = opendir(native.c_str());
    if (dir == nullptr) return kNoSearch;
    auto* search = new FolderSearch{dir, native};
    if (!ReadEntry(*search, first)) {
        CloseFolderSearch(search);
        return kNoSearch;
    }
    return search;
}

bool ContinueFolderSearch(SearchHandle search, FolderEntry& next) {
    return ReadEntry(*search, next);
}

void CloseFolderSearch(SearchHandle search) {
    closedir(search->dir);
    delete search;
}

// Linux refuses unlink() of a folder (EISDIR), as Windows refuses DeleteFile of one.
bool DeleteOneFile(const std::wstring& path) { return unlink(ToNativePath(path).c_str()) == 0; }

bool RemoveEmptyFolder(const std::wstring& path) {
    const std::string native = ToNativePath(path);
    if (rmdir(native.c_str()) == 0) return true;
    // As on Windows, a link to a folder goes the way of a folder: the link alone is removed.
    struct stat own {};
    if (errno == ENOTDIR && lstat(native.c_str(), &own) == 0 && S_ISLNK(own.st_mode) &&
        IsFolderTarget(native)) {
        return unlink(native.c_str()) == 0;
    }
    return false;
}

PathInfo InspectPath(const std::wstring& path) {
    const std::string native = ToNativePath(path);
    struct stat own {};
    if (lstat(native.c_str(), &own) != 0) return PathInfo{errno != ENOENT && errno != ENOTDIR};
    const bool link = S_ISLNK(own.st_mode);
    return PathInfo{true, S_ISDIR(own.st_mode) || (link && IsFolderTarget(native)), link};
}

// The host has no known folders; APPDATA names the roaming folder, as on Windows.
std::optional<std::wstring> RoamingAppDataFolder() {
    const char* folder = std::getenv("APPDATA");
    if (folder == nullptr || folder[0] == '\0') return std::nullopt;
    return FromUtf8(folder);
}

}  // namespace platform
