// Folder-tree removal on a real disk, through this build's platform layer.
#include <gtest/gtest.h>

#include "disk_fixture.h"
#include "repair/repair.h"

namespace {

using disk::Exists;
using disk::Join;

class RemoveTreeOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        scratch_ = disk::NewScratchFolder();
        target_ = Join(scratch_, L"ZarnikPro");
        disk::MakeFile(Join(scratch_, L"ZarnikPro2\\keep.txt"), "sibling");
        disk::MakeFile(Join(scratch_, L"ZarnikPro.bak\\keep.txt"), "backup");
    }
    void TearDown() override {
        EXPECT_EQ(disk::ReadFile(Join(scratch_, L"ZarnikPro2\\keep.txt")), "sibling");
        EXPECT_EQ(disk::ReadFile(Join(scratch_, L"ZarnikPro.bak\\keep.txt")), "backup");
        disk::RemoveScratch(scratch_);
    }
    std::wstring scratch_;
    std::wstring target_;
};

TEST_F(RemoveTreeOnDisk, RemovesNestedTreeWithOddNamesAndLongPaths) {
    for (const wchar_t* name : {L"a\\b\\c\\deep.bin", L".hidden", L"..double\\x", L"a\\b\\file",
                                L"名字\\文件.txt", L"emoji-😀\\🔧.dat", L"Привет\\файл"}) {
        disk::MakeFile(Join(target_, name));
    }
    disk::MakeFolder(Join(target_, L"empty\\emptier\\emptiest"));
    std::wstring deep = target_;
    while (deep.size() < 400) deep = Join(deep, L"a-rather-long-folder-name-0123456789");
    disk::MakeFile(Join(deep, L"beyond-260-characters.txt"));
    ASSERT_TRUE(Exists(Join(deep, L"beyond-260-characters.txt")));

    EXPECT_TRUE(repair::RemoveFolderTree(target_));
    EXPECT_FALSE(Exists(target_));
}

TEST_F(RemoveTreeOnDisk, MissingFolderReturnsFalse) {
    EXPECT_FALSE(repair::RemoveFolderTree(target_));
    EXPECT_FALSE(Exists(target_));
}

TEST_F(RemoveTreeOnDisk, LinkInsideTreeIsRemovedAndItsTargetKept) {
    const std::wstring outside = Join(scratch_, L"Outside");
    disk::MakeFile(Join(outside, L"precious.txt"), "precious");
    disk::MakeFile(Join(outside, L"inner\\more.txt"), "more");
    disk::MakeFile(Join(target_, L"sub\\own.txt"));
    ASSERT_TRUE(disk::MakeFolderLink(Join(target_, L"sub\\link-out"), outside));
    ASSERT_TRUE(Exists(Join(target_, L"sub\\link-out\\precious.txt")));

    const bool removed = repair::RemoveFolderTree(target_);

    EXPECT_EQ(disk::ReadFile(Join(outside, L"precious.txt")), "precious");
    EXPECT_EQ(disk::ReadFile(Join(outside, L"inner\\more.txt")), "more");
    if (disk::FolderLinksAreRemovable()) {
        EXPECT_TRUE(removed);
        EXPECT_FALSE(Exists(target_));
    } else {
        // The link stays, alone, and the result says the folder is still there.
        EXPECT_FALSE(removed);
        EXPECT_TRUE(Exists(Join(target_, L"sub\\link-out")));
        EXPECT_FALSE(Exists(Join(target_, L"sub\\own.txt")));
    }
}

TEST_F(RemoveTreeOnDisk, FolderThatIsItselfALinkLosesOnlyTheLink) {
    const std::wstring outside = Join(scratch_, L"Outside");
    disk::MakeFile(Join(outside, L"precious.txt"), "precious");
    ASSERT_TRUE(disk::MakeFolderLink(target_, outside));

    const bool removed = repair::RemoveFolderTree(target_);

    EXPECT_EQ(disk::ReadFile(Join(outside, L"precious.txt")), "precious");
    EXPECT_EQ(removed, disk::FolderLinksAreRemovable());
    EXPECT_EQ(Exists(target_), !disk::FolderLinksAreRemovable());
}

#ifdef _WIN32
// A file that cannot be deleted stays with the folders above it; everything else goes.
enum class Stuck { HeldOpen, ReadOnly };

class UndeletableFile : public RemoveTreeOnDisk, public ::testing::WithParamInterface<Stuck> {};

TEST_P(UndeletableFile, StaysWithItsFoldersAndTheResultIsFalse) {
    const std::wstring stuck = Join(target_, L"a\\b\\stuck.db");
    disk::MakeFile(stuck, "in use");
    for (const wchar_t* name : {L"a\\b\\other", L"a\\side\\f", L"a\\f", L"z\\f", L"top"}) {
        disk::MakeFile(Join(target_, name));
    }
    const bool readOnly = GetParam() == Stuck::ReadOnly;
    if (readOnly) disk::SetReadOnly(stuck, true);
    bool removed = true;
    {
        disk::HeldOpen held(readOnly ? std::wstring() : stuck);
        ASSERT_EQ(held.held(), !readOnly);
        removed = repair::RemoveFolderTree(target_);
    }
    EXPECT_FALSE(removed);
    EXPECT_EQ(disk::ReadFile(stuck), "in use");
    for (const wchar_t* gone : {L"a\\b\\other", L"a\\side", L"a\\f", L"z", L"top"}) {
        EXPECT_FALSE(Exists(Join(target_, gone)));
    }
    if (readOnly) disk::SetReadOnly(stuck, false);
}

INSTANTIATE_TEST_SUITE_P(InUseOrReadOnly, UndeletableFile,
                         ::testing::Values(Stuck::HeldOpen, Stuck::ReadOnly), [](const auto& info) {
                             return info.param == Stuck::HeldOpen ? "HeldOpen" : "ReadOnly";
                         });
#endif

}  // namespace
