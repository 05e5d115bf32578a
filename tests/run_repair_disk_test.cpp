// The repair action on a real disk, in the roaming folder the platform reports: on
// Windows (under Wine) the user's real one, on the host the folder that APPDATA names.
#include <gtest/gtest.h>

#include <cstdlib>

#include "disk_fixture.h"
#include "platform/platform.h"
#include "recorded_message.h"
#include "repair/repair.h"
#ifndef _WIN32
#include "platform/text_posix.h"
#endif

namespace {

using disk::Exists;
using disk::Join;

class RunRepairOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef _WIN32
        scratch_ = disk::NewScratchFolder();
        setenv("APPDATA", platform::ToNativePath(scratch_).c_str(), 1);
#endif
        const auto roaming = platform::RoamingAppDataFolder();
        ASSERT_TRUE(roaming.has_value());
        roaming_ = *roaming;
        target_ = Join(roaming_, L"ZarnikPro");
        ASSERT_FALSE(Exists(target_)) << "a ZarnikPro folder was there before the test";
        disk::MakeFile(Join(roaming_, L"ZarnikPro2\\keep.txt"), "sibling");
        recorded::Messages().clear();
    }
    void TearDown() override {
        EXPECT_EQ(disk::ReadFile(Join(roaming_, L"ZarnikPro2\\keep.txt")), "sibling");
        disk::RemoveScratch(Join(roaming_, L"ZarnikPro2"));
        disk::RemoveScratch(target_);
        if (!scratch_.empty()) disk::RemoveScratch(scratch_);
    }
    void ExpectOneMessage(const std::wstring& text, unsigned style) {
        ASSERT_EQ(recorded::Messages().size(), 1u);
        EXPECT_EQ(recorded::Messages()[0].text, text);
        EXPECT_EQ(recorded::Messages()[0].caption, L"信息：");
        EXPECT_EQ(recorded::Messages()[0].style, style);
    }
    std::wstring scratch_;
    std::wstring roaming_;
    std::wstring target_;
};

TEST_F(RunRepairOnDisk, RemovesThePopulatedFolderAndConfirms) {
#ifdef _WIN32
    // The system's own answer: the Wine user's profile, not a path built from the logon name.
    EXPECT_NE(roaming_.find(L"\\AppData\\Roaming"), std::wstring::npos);
#endif
    for (const wchar_t* name : {L"cache\\1.bin", L"cache\\2.bin", L"config\\用户.ini", L".lock"}) {
        disk::MakeFile(Join(target_, name));
    }
    disk::MakeFolder(Join(target_, L"plugins\\empty"));

    repair::RunRepair();

    EXPECT_FALSE(Exists(target_));
    ExpectOneMessage(repair::kRepairedText, 0x2000);
}

#ifdef _WIN32
TEST_F(RunRepairOnDisk, FileInUseIsKeptAndTheFailureIsShown) {
    disk::MakeFile(Join(target_, L"cache\\1.bin"));
    disk::MakeFile(Join(target_, L"db\\open.db"), "open");
    {
        disk::HeldOpen held(Join(target_, L"db\\open.db"));
        ASSERT_TRUE(held.held());
        repair::RunRepair();
    }
    EXPECT_EQ(disk::ReadFile(Join(target_, L"db\\open.db")), "open");
    EXPECT_FALSE(Exists(Join(target_, L"cache")));
    ExpectOneMessage(repair::kIncompleteText, 0x2030);
}
#endif

}  // namespace
