// Folder-tree removal over the in-memory file system: refusals, order, links,
// entries that refuse removal, and depth.
#include <gtest/gtest.h>

#include <algorithm>

#include "fake_platform.h"
#include "repair/repair.h"
#include "small_stack.h"

namespace {

using fake::Kind;
using fake::Op;

class RemoveTreeLogic : public ::testing::Test {
protected:
    void SetUp() override { fake::Reset(); }
    fake::State& platform_ = fake::Platform();
    fake::FileSystem& fs_ = fake::Platform().fs;
};

bool IsRemoval(Op op) { return op == Op::Delete || op == Op::RemoveFolder; }

std::wstring ParentOf(const std::wstring& path) { return path.substr(0, path.rfind(L'\\')); }

// A drive root given in any of the refused forms, with leading spaces or without, must
// leave the disk and the platform untouched.
class RefusedPath : public RemoveTreeLogic, public ::testing::WithParamInterface<const wchar_t*> {};

TEST_P(RefusedPath, ReturnsFalseWithoutAnyCall) {
    fs_.AddFile(L"M:\\keep\\file.txt");
    const auto before = fs_.Snapshot();
    EXPECT_FALSE(repair::RemoveFolderTree(GetParam()));
    EXPECT_TRUE(platform_.calls.empty()) << platform_.calls.size() << " platform calls made";
    EXPECT_EQ(fs_.Snapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(EmptyAndDriveRoots, RefusedPath,
                         ::testing::Values(L"", L"   ", L"C:", L"C:\\", L"  C:\\", L"D:", L"M:",
                                           L"M:\\", L"  M:\\", L" M:"));

TEST_F(RemoveTreeLogic, PathBelowADriveRootIsNotRefused) {
    EXPECT_FALSE(repair::RemoveFolderTree(L"C:\\x"));  // no such folder on the fake drive M:
    ASSERT_FALSE(platform_.calls.empty());
    EXPECT_TRUE(std::any_of(platform_.calls.begin(), platform_.calls.end(), [](const auto& call) {
        return call.op == Op::Inspect && call.path == L"C:\\x";
    }));
}

TEST_F(RemoveTreeLogic, LeadingSpacesAreSkippedTrailingOnesKept) {
    fs_.AddFile(L"M:\\Z\\a.txt");
    EXPECT_TRUE(repair::RemoveFolderTree(L"   M:\\Z"));
    EXPECT_FALSE(fs_.Exists(L"M:\\Z"));

    fs_.AddFile(L"M:\\Y\\a.txt");
    EXPECT_FALSE(repair::RemoveFolderTree(L"M:\\Y "));  // "Y " is another name
    EXPECT_TRUE(fs_.Exists(L"M:\\Y\\a.txt"));
}

TEST_F(RemoveTreeLogic, RemovesWholeTreeAndNothingBeside) {
    for (const wchar_t* path : {L"M:\\Z\\a\\b\\c\\deep.bin", L"M:\\Z\\.hidden", L"M:\\Z\\..x\\y",
                                L"M:\\Z\\名字\\😀.txt", L"M:\\Z\\a\\file"}) {
        fs_.AddFile(path);
    }
    fs_.AddFolder(L"M:\\Z\\empty\\emptier");
    fs_.AddFile(L"M:\\Z2\\keep.txt");
    fs_.AddFile(L"M:\\Z.bak\\keep.txt");
    fs_.AddFile(L"M:\\keep.txt");

    EXPECT_TRUE(repair::RemoveFolderTree(L"M:\\Z"));

    const std::map<std::wstring, std::pair<Kind, bool>, fake::NoCaseLess> expected{
        {L"M:\\Z2", {Kind::Folder, false}},
        {L"M:\\Z2\\keep.txt", {Kind::File, false}},
        {L"M:\\Z.bak", {Kind::Folder, false}},
        {L"M:\\Z.bak\\keep.txt", {Kind::File, false}},
        {L"M:\\keep.txt", {Kind::File, false}}};
    EXPECT_EQ(fs_.Snapshot(), expected);
}

TEST_F(RemoveTreeLogic, EmptyFolderIsRemovedAndMissingOneIsNot) {
    fs_.AddFolder(L"M:\\empty");
    EXPECT_TRUE(repair::RemoveFolderTree(L"M:\\empty"));
    EXPECT_FALSE(fs_.Exists(L"M:\\empty"));
    EXPECT_FALSE(repair::RemoveFolderTree(L"M:\\empty"));
    fs_.AddFile(L"M:\\file");
    EXPECT_FALSE(repair::RemoveFolderTree(L"M:\\file"));
    EXPECT_TRUE(fs_.Exists(L"M:\\file"));
}

TEST_F(RemoveTreeLogic, EachLevelIsListedAndClosedBeforeItsEntriesAreRemoved) {
    for (const wchar_t* path : {L"M:\\Z\\b\\x\\1", L"M:\\Z\\b\\x\\2", L"M:\\Z\\a", L"M:\\Z\\c",
                                L"M:\\Z\\b\\y", L"M:\\Z\\d\\e\\f"}) {
        fs_.AddFile(path);
    }
    ASSERT_TRUE(repair::RemoveFolderTree(L"M:\\Z"));
    const auto& calls = platform_.calls;

    int levels = 0;
    for (std::size_t start = 0; start < calls.size(); ++start) {
        if (calls[start].op != Op::Start || !calls[start].succeeded) continue;
        ++levels;
        const std::wstring folder = calls[start].path;
        const auto close = std::find_if(calls.begin(), calls.end(), [&](const fake::Call& call) {
            return call.op == Op::Close && call.search == calls[start].search;
        });
        ASSERT_NE(close, calls.end())
            << "search of " << folder.size() << "-char folder never closed";
        // The listing ran to its end: its last step reported no more entries.
        const auto last = std::find_if(
            std::make_reverse_iterator(close), calls.rend(), [&](const fake::Call& call) {
                return call.search == calls[start].search && call.op == Op::Continue;
            });
        ASSERT_NE(last, calls.rend());
        EXPECT_FALSE(last->succeeded);
        for (auto call = calls.begin(); call != close; ++call) {
            EXPECT_FALSE(IsRemoval(call->op) && ParentOf(call->path) == folder)
                << "an entry was removed before its folder's search was closed";
        }
    }
    EXPECT_EQ(levels, 5);  // Z, b, b\x, d and d\e
    for (const auto& search : platform_.searches) EXPECT_TRUE(search->closed);
}

TEST_F(RemoveTreeLogic, EntriesGoInListingOrderContentsBeforeTheirFolder) {
    for (const wchar_t* path : {L"M:\\Z\\c", L"M:\\Z\\A\\2", L"M:\\Z\\A\\1", L"M:\\Z\\b\\q"}) {
        fs_.AddFile(path);
    }
    ASSERT_TRUE(repair::RemoveFolderTree(L"M:\\Z"));
    std::vector<std::wstring> removed;
    for (const auto& call : platform_.calls) {
        if (IsRemoval(call.op)) removed.push_back(call.path);
    }
    const std::vector<std::wstring> expected{L"M:\\Z\\A\\1", L"M:\\Z\\A\\2", L"M:\\Z\\A",
                                             L"M:\\Z\\b\\q", L"M:\\Z\\b",    L"M:\\Z\\c",
                                             L"M:\\Z"};
    EXPECT_EQ(removed, expected);
}

TEST_F(RemoveTreeLogic, LinksAreRemovedNeverFollowed) {
    fs_.AddFile(L"M:\\Outside\\precious.txt");
    fs_.AddFile(L"M:\\Outside\\sub\\more.txt");
    fs_.AddFile(L"M:\\lone.txt");
    fs_.AddLink(L"M:\\Z\\sub\\to-outside", L"M:\\Outside");
    fs_.AddLink(L"M:\\Z\\to-file", L"M:\\lone.txt", false);
    fs_.AddLink(L"M:\\Z\\dangling", L"M:\\nowhere");
    fs_.AddFile(L"M:\\Z\\sub\\own.txt");

    EXPECT_TRUE(repair::RemoveFolderTree(L"M:\\Z"));

    EXPECT_FALSE(fs_.Exists(L"M:\\Z"));
    for (const wchar_t* path :
         {L"M:\\Outside\\precious.txt", L"M:\\Outside\\sub\\more.txt", L"M:\\lone.txt"}) {
        EXPECT_TRUE(fs_.Exists(path)) << "removed through a link";
    }
    for (const auto& call : platform_.calls) {
        EXPECT_FALSE(call.op == Op::Start && call.path.find(L"to-outside") != std::wstring::npos)
            << "listed a folder through a link";
    }
}

TEST_F(RemoveTreeLogic, FolderThatIsItselfALinkLosesOnlyTheLink) {
    fs_.AddFile(L"M:\\Outside\\precious.txt");
    fs_.AddLink(L"M:\\Z", L"M:\\Outside");
    EXPECT_TRUE(repair::RemoveFolderTree(L"M:\\Z"));
    EXPECT_FALSE(fs_.Exists(L"M:\\Z"));
    EXPECT_TRUE(fs_.Exists(L"M:\\Outside\\precious.txt"));
}

TEST_F(RemoveTreeLogic, EntryThatRefusesRemovalKeepsItsFoldersAndNothingElse) {
    fs_.AddFile(L"M:\\Z\\a\\b\\in-use.db", true);
    for (const wchar_t* path :
         {L"M:\\Z\\a\\b\\other", L"M:\\Z\\a\\sibling\\f", L"M:\\Z\\a\\f", L"M:\\Z\\z\\f"}) {
        fs_.AddFile(path);
    }
    EXPECT_FALSE(repair::RemoveFolderTree(L"M:\\Z"));
    const std::map<std::wstring, std::pair<Kind, bool>, fake::NoCaseLess> expected{
        {L"M:\\Z", {Kind::Folder, false}},
        {L"M:\\Z\\a", {Kind::Folder, false}},
        {L"M:\\Z\\a\\b", {Kind::Folder, false}},
        {L"M:\\Z\\a\\b\\in-use.db", {Kind::File, true}}};
    EXPECT_EQ(fs_.Snapshot(), expected);
    // No retries: the locked file was tried exactly once.
    EXPECT_EQ(std::count_if(platform_.calls.begin(), platform_.calls.end(),
                            [](const auto& call) {
                                return call.op == Op::Delete &&
                                       call.path == L"M:\\Z\\a\\b\\in-use.db";
                            }),
              1);
}

TEST_F(RemoveTreeLogic, TreeAsDeepAsTheLongestPathNeedsNoDeepStack) {
    constexpr int kLevels = 16000;
    platform_.keepLog = false;
    std::wstring path = L"M:\\Z";
    fs_.AddFolder(path);
    for (int level = 0; level < kLevels; ++level) {
        path += L"\\a";
        fs_.AddFolder(path);
    }
    fs_.AddFile(path + L"\\bottom.txt");
    fs_.AddFile(L"M:\\keep.txt");
    ASSERT_GT(path.size(), 32000u);

    bool removed = false;
    testing_support::RunOnSmallStack([&] { removed = repair::RemoveFolderTree(L"M:\\Z"); });

    EXPECT_TRUE(removed);
    EXPECT_FALSE(fs_.Exists(L"M:\\Z"));
    EXPECT_TRUE(fs_.Exists(L"M:\\keep.txt"));
}

}  // namespace
