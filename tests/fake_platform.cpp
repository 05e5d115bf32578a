#include "fake_platform.h"

#include <algorithm>
#include <cwctype>
#include <stdexcept>

namespace fake {
namespace {

bool IsLink(const Node& node) {
    return node.kind == Kind::FolderLink || node.kind == Kind::FileLink;
}

// The path of a node's parent folder and its own name.
std::pair<std::wstring_view, std::wstring_view> SplitLast(std::wstring_view path) {
    const std::size_t slash = path.rfind(L'\\');
    if (slash == std::wstring_view::npos) return {std::wstring_view(), path};
    return {path.substr(0, slash), path.substr(slash + 1)};
}

}  // namespace

namespace {

wchar_t FoldCase(wchar_t ch) {
    if (ch < 0x80) return ch >= L'A' && ch <= L'Z' ? static_cast<wchar_t>(ch + 32) : ch;
    return static_cast<wchar_t>(std::towlower(ch));
}

}  // namespace

bool NoCaseLess::operator()(std::wstring_view a, std::wstring_view b) const {
    // Paths share long prefixes: skip the equal part before folding case.
    const auto [x, y] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    return std::lexicographical_compare(
        x, a.end(), y, b.end(), [](wchar_t l, wchar_t r) { return FoldCase(l) < FoldCase(r); });
}

FileSystem::FileSystem() : root_(std::make_unique<Node>()) {}

FileSystem::~FileSystem() { Clear(); }

void FileSystem::Clear() {
    // Taken apart one node at a time: a deep tree must not recurse in destructors.
    std::vector<std::unique_ptr<Node>> pending;
    for (auto& [name, child] : root_->children) pending.push_back(std::move(child));
    root_->children.clear();
    while (!pending.empty()) {
        std::unique_ptr<Node> node = std::move(pending.back());
        pending.pop_back();
        for (auto& [name, child] : node->children) pending.push_back(std::move(child));
    }
    cachedPath_.clear();
    cachedChain_.clear();
}

Node* FileSystem::FindFolderChain(std::wstring_view folder) {
    if (folder.substr(0, 2) != std::wstring_view(kDrive) ||
        (folder.size() > 2 && folder[2] != L'\\')) {
        return nullptr;
    }
    if (cachedChain_.empty()) {
        cachedPath_ = kDrive;
        cachedChain_.push_back({2, root_.get()});
    }
    // Reuse the deepest cached folder whose path is a prefix of this one, name for name.
    const auto [differ, unused] =
        std::mismatch(folder.begin(), folder.end(), cachedPath_.begin(), cachedPath_.end());
    const auto same = static_cast<std::size_t>(differ - folder.begin());
    std::size_t keep = cachedChain_.size();
    while (keep > 1) {
        const std::size_t end = cachedChain_[keep - 1].first;
        if (end <= same && (end == folder.size() || folder[end] == L'\\')) break;
        --keep;
    }
    cachedChain_.resize(keep);
    cachedPath_.assign(folder);
    std::size_t position = cachedChain_.back().first;
    Node* node = cachedChain_.back().second;
    while (position < folder.size()) {
        const std::size_t start = position + 1;
        std::size_t end = folder.find(L'\\', start);
        if (end == std::wstring_view::npos) end = folder.size();
        const auto child = node->children.find(folder.substr(start, end - start));
        if (child == node->children.end()) return nullptr;
        node = child->second.get();
        if (IsLink(*node)) {
            // Links are rare: resolve the target on its own, then carry on from there.
            std::wstring target = node->target;
            std::wstring saved = cachedPath_;
            auto savedChain = cachedChain_;
            node = Find(target, true);
            cachedPath_ = std::move(saved);
            cachedChain_ = std::move(savedChain);
            if (node == nullptr) return nullptr;
        }
        if (node->kind != Kind::Folder) return nullptr;
        cachedChain_.push_back({end, node});
        position = end;
    }
    return node;
}

Node* FileSystem::Find(std::wstring_view path, bool followLast) {
    static int depth = 0;  // bounds link loops
    if (depth > 8) return nullptr;
    ++depth;
    Node* found = nullptr;
    if (path == std::wstring_view(kDrive)) {
        found = root_.get();
    } else {
        const auto [folder, name] = SplitLast(path);
        Node* parent = name.empty() ? nullptr : FindFolderChain(folder);
        if (parent != nullptr) {
            const auto child = parent->children.find(name);
            if (child != parent->children.end()) found = child->second.get();
        }
        if (found != nullptr && followLast && IsLink(*found)) found = Find(found->target, true);
    }
    --depth;
    return found;
}

Node* FileSystem::Create(const std::wstring& path, Kind kind) {
    const auto [folder, name] = SplitLast(path);
    Node* parent = folder == std::wstring_view(kDrive) ? root_.get() : FindFolderChain(folder);
    if (parent == nullptr) parent = AddFolder(std::wstring(folder));
    auto& slot = parent->children[std::wstring(name)];
    if (!slot) {
        slot = std::make_unique<Node>();
        slot->kind = kind;
        slot->parent = parent;
    }
    return slot.get();
}

Node* FileSystem::AddFolder(const std::wstring& path) { return Create(path, Kind::Folder); }

Node* FileSystem::AddFile(const std::wstring& path, bool locked) {
    Node* node = Create(path, Kind::File);
    node->locked = locked;
    return node;
}

Node* FileSystem::AddLink(const std::wstring& path, const std::wstring& target, bool toFolder) {
    Node* node = Create(path, toFolder ? Kind::FolderLink : Kind::FileLink);
    node->target = target;
    return node;
}

bool FileSystem::Remove(const std::wstring& path, bool asFolder) {
    Node* node = Find(path);
    if (node == nullptr || node == root_.get() || node->locked) return false;
    const bool folderLike = node->kind == Kind::Folder || node->kind == Kind::FolderLink;
    if (folderLike != asFolder || !node->children.empty()) return false;
    const auto cached = std::find_if(cachedChain_.begin(), cachedChain_.end(),
                                     [node](const auto& link) { return link.second == node; });
    cachedChain_.erase(cached, cachedChain_.end());
    Node* parent = node->parent;
    parent->children.erase(std::wstring(SplitLast(path).second));
    return true;
}

std::map<std::wstring, std::pair<Kind, bool>, NoCaseLess> FileSystem::Snapshot() const {
    std::map<std::wstring, std::pair<Kind, bool>, NoCaseLess> all;
    std::vector<std::pair<std::wstring, const Node*>> pending{{kDrive, root_.get()}};
    while (!pending.empty()) {
        auto [path, node] = std::move(pending.back());
        pending.pop_back();
        for (const auto& [name, child] : node->children) {
            std::wstring childPath = path + L"\\" + name;
            all[childPath] = {child->kind, child->locked};
            pending.push_back({std::move(childPath), child.get()});
        }
    }
    return all;
}

State& Platform() {
    static State state;
    return state;
}

void Reset() {
    State& state = Platform();
    state.fs.Clear();
    state.calls.clear();
    state.messages.clear();
    state.appData = L"M:\\Users\\tester\\AppData\\Roaming";
    state.afterCall = nullptr;
    state.keepLog = true;
    state.searches.clear();
}

namespace {

void Log(Call call) {
    State& state = Platform();
    if (state.afterCall) state.afterCall(call);
    if (state.keepLog) state.calls.push_back(std::move(call));
}

}  // namespace
}  // namespace fake

namespace platform {

using fake::Op;

SearchHandle StartFolderSearch(const std::wstring& folder, FolderEntry& first) {
    fake::State& state = fake::Platform();
    const fake::Node* node = state.fs.Find(folder, true);
    SearchHandle handle = kNoSearch;
    if (node != nullptr && node->kind == fake::Kind::Folder) {
        auto search = std::make_unique<FolderSearch>();
        search->listing = {{L".", true, false}, {L"..", true, false}};
        for (const auto& [name, child] : node->children) {
            const bool link =
                child->kind == fake::Kind::FolderLink || child->kind == fake::Kind::FileLink;
            const bool folderLike =
                child->kind == fake::Kind::Folder || child->kind == fake::Kind::FolderLink;
            search->listing.push_back({name, folderLike, link});
        }
        first = search->listing.front();
        search->position = 1;
        handle = search.get();
        state.searches.push_back(std::move(search));
    }
    fake::Log({Op::Start, folder, handle, handle != kNoSearch});
    return handle;
}

bool ContinueFolderSearch(SearchHandle search, FolderEntry& next) {
    if (search->closed) throw std::logic_error("search used after it was closed");
    const bool more = search->position < search->listing.size();
    if (more) next = search->listing[search->position++];
    fake::Log({Op::Continue, L"", search, more});
    return more;
}

void CloseFolderSearch(SearchHandle search) {
    if (search->closed) throw std::logic_error("search closed twice");
    search->closed = true;
    fake::Log({Op::Close, L"", search, true});
}

bool DeleteOneFile(const std::wstring& path) {
    const bool removed = fake::Platform().fs.Remove(path, false);
    fake::Log({Op::Delete, path, kNoSearch, removed});
    return removed;
}

bool RemoveEmptyFolder(const std::wstring& path) {
    const bool removed = fake::Platform().fs.Remove(path, true);
    fake::Log({Op::RemoveFolder, path, kNoSearch, removed});
    return removed;
}

PathInfo InspectPath(const std::wstring& path) {
    const fake::Node* node = fake::Platform().fs.Find(path);
    PathInfo info;
    if (node != nullptr) {
        info.exists = true;
        info.isFolder = node->kind == fake::Kind::Folder || node->kind == fake::Kind::FolderLink;
        info.isReparsePoint =
            node->kind == fake::Kind::FolderLink || node->kind == fake::Kind::FileLink;
    }
    fake::Log({Op::Inspect, path, kNoSearch, info.exists});
    return info;
}

std::wstring LongPathForm(const std::wstring& path) {
    fake::Log({Op::LongPath, path, kNoSearch, true});
    return path;
}

std::optional<std::wstring> RoamingAppDataFolder() {
    const std::optional<std::wstring> answer = fake::Platform().appData;
    fake::Log({Op::AppData, answer.value_or(L""), kNoSearch, answer.has_value()});
    return answer;
}

void ShowMessageBox(const std::wstring& text, const std::wstring& caption, unsigned style) {
    fake::Platform().messages.push_back({text, caption, style});
    fake::Log({Op::Message, text, kNoSearch, true});
}

}  // namespace platform
