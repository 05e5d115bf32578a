// An in-memory definition of the platform layer: a small case-insensitive file system
// under the drive "M:", with links, entries that refuse removal, and a log of every call.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace platform {

// A search of the in-memory file system: the listing taken when it started.
struct FolderSearch {
    std::vector<FolderEntry> listing;
    std::size_t position = 0;
    bool closed = false;
};

}  // namespace platform

namespace fake {

inline constexpr wchar_t kDrive[] = L"M:";

enum class Kind { Folder, File, FolderLink, FileLink };

struct NoCaseLess {
    using is_transparent = void;
    bool operator()(std::wstring_view a, std::wstring_view b) const;
};

struct Node {
    Kind kind = Kind::Folder;
    std::wstring target;  // links only: the full path they point to
    bool locked = false;  // refuses deletion, like a file held open by another program
    Node* parent = nullptr;
    std::map<std::wstring, std::unique_ptr<Node>, NoCaseLess> children;
};

enum class Op { Start, Continue, Close, Delete, RemoveFolder, Inspect, LongPath, AppData, Message };

struct Call {
    Op op;
    std::wstring path;  // the path handed over; the text for Message
    platform::SearchHandle search = platform::kNoSearch;
    bool succeeded = false;
};

struct Message {
    std::wstring text;
    std::wstring caption;
    unsigned style;
};

class FileSystem {
public:
    FileSystem();
    ~FileSystem();
    FileSystem(const FileSystem&) = delete;
    FileSystem& operator=(const FileSystem&) = delete;

    // Each creates missing parent folders and returns the new node.
    Node* AddFolder(const std::wstring& path);
    Node* AddFile(const std::wstring& path, bool locked = false);
    Node* AddLink(const std::wstring& path, const std::wstring& target, bool toFolder = true);

    // The node at `path`; links are followed on the way, and at the end when followLast.
    Node* Find(std::wstring_view path, bool followLast = false);
    bool Exists(const std::wstring& path) { return Find(path) != nullptr; }
    // Every path below the drive with its kind and lock, links not followed.
    std::map<std::wstring, std::pair<Kind, bool>, NoCaseLess> Snapshot() const;

    // Removes a file, a link or an empty folder, as the system calls would; false if refused.
    bool Remove(const std::wstring& path, bool asFolder);
    void Clear();

private:
    Node* FindFolderChain(std::wstring_view folder);
    Node* Create(const std::wstring& path, Kind kind);

    std::unique_ptr<Node> root_;
    // The folders of the last path looked up, so a deep walk costs no more than its depth.
    std::wstring cachedPath_;
    std::vector<std::pair<std::size_t, Node*>> cachedChain_;
};

struct State {
    FileSystem fs;
    std::vector<Call> calls;
    std::vector<Message> messages;
    std::optional<std::wstring> appData = std::wstring(L"M:\\Users\\tester\\AppData\\Roaming");
    // Runs after every call is logged; a test may change the file system from here.
    std::function<void(const Call&)> afterCall;
    // Off for very deep trees, whose paths would make the log huge.
    bool keepLog = true;
    // Every search of the run, kept until Reset() so that no two share an address.
    std::vector<std::unique_ptr<platform::FolderSearch>> searches;
};

// The state the platform functions work on; Reset() gives a fresh one.
State& Platform();
void Reset();

}  // namespace fake
