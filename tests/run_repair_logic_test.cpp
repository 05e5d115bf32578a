// The repair action over the in-memory file system: which folder it removes and
// which message it shows.
#include <gtest/gtest.h>

#include <functional>

#include "fake_platform.h"
#include "repair/repair.h"

namespace {

using fake::Op;

constexpr unsigned kInformation = 0x0 | 0x2000;     // MB_OK | MB_TASKMODAL
constexpr unsigned kWarning = 0x0 | 0x2000 | 0x30;  // ... | MB_ICONWARNING
const std::wstring kRoaming = L"M:\\Profiles\\李雷.CORP\\AppData\\Roaming";
const std::wstring kTarget = kRoaming + L"\\ZarnikPro";

struct RepairCase {
    const char* name;
    std::function<void(fake::FileSystem&)> arrange;
    const wchar_t* text;
    unsigned style;
    std::vector<std::wstring> remaining;  // below the roaming folder, afterwards
};

class RunRepairLogic : public ::testing::TestWithParam<RepairCase> {
protected:
    void SetUp() override {
        fake::Reset();
        fake::Platform().appData = kRoaming;
        fake::Platform().fs.AddFile(kRoaming + L"\\ZarnikPro2\\keep.dat");
        fake::Platform().fs.AddFile(kRoaming + L"\\ZarnikPro.bak\\keep.dat");
        fake::Platform().fs.AddFile(L"M:\\Users\\tester\\AppData\\Roaming\\ZarnikPro\\other.dat");
        fake::Platform().fs.AddFile(L"M:\\Elsewhere\\data.bin");
    }
};

TEST_P(RunRepairLogic, RemovesTheFolderTheSystemNamesAndTellsTheTruth) {
    const RepairCase& c = GetParam();
    fake::FileSystem& fs = fake::Platform().fs;
    c.arrange(fs);

    repair::RunRepair();

    const auto& messages = fake::Platform().messages;
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, c.text);
    EXPECT_EQ(messages[0].caption, L"信息：");
    EXPECT_EQ(messages[0].style, c.style);

    std::vector<std::wstring> remaining;
    for (const auto& [path, kind] : fs.Snapshot()) {
        if (path.rfind(kRoaming + L"\\ZarnikPro\\", 0) == 0 || path == kTarget) {
            remaining.push_back(path.substr(kRoaming.size() + 1));
        }
    }
    EXPECT_EQ(remaining, c.remaining);
    // Nothing beside the target was touched.
    EXPECT_TRUE(fs.Exists(kRoaming + L"\\ZarnikPro2\\keep.dat"));
    EXPECT_TRUE(fs.Exists(kRoaming + L"\\ZarnikPro.bak\\keep.dat"));
    EXPECT_TRUE(fs.Exists(L"M:\\Users\\tester\\AppData\\Roaming\\ZarnikPro\\other.dat"));
    EXPECT_TRUE(fs.Exists(L"M:\\Elsewhere\\data.bin"));
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, RunRepairLogic,
    ::testing::Values(
        RepairCase{"Populated",
                   [](fake::FileSystem& fs) {
                       fs.AddFile(kTarget + L"\\cache\\1.bin");
                       fs.AddFile(kTarget + L"\\settings.ini");
                       fs.AddFolder(kTarget + L"\\empty");
                   },
                   repair::kRepairedText,
                   kInformation,
                   {}},
        RepairCase{
            "AlreadyAbsent", [](fake::FileSystem&) {}, repair::kRepairedText, kInformation, {}},
        RepairCase{"FileInUse",
                   [](fake::FileSystem& fs) {
                       fs.AddFile(kTarget + L"\\cache\\1.bin");
                       fs.AddFile(kTarget + L"\\db\\open.db", true);
                   },
                   repair::kIncompleteText,
                   kWarning,
                   {L"ZarnikPro", L"ZarnikPro\\db", L"ZarnikPro\\db\\open.db"}},
        RepairCase{"FolderIsALink",
                   [](fake::FileSystem& fs) { fs.AddLink(kTarget, L"M:\\Elsewhere"); },
                   repair::kRepairedText,
                   kInformation,
                   {}},
        RepairCase{"FileInsteadOfFolder",
                   [](fake::FileSystem& fs) { fs.AddFile(kTarget); },
                   repair::kIncompleteText,
                   kWarning,
                   {L"ZarnikPro"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Without an answer from the system there is no folder to remove: nothing else is asked.
class UnknownLocation : public ::testing::TestWithParam<std::optional<std::wstring>> {};

TEST_P(UnknownLocation, RemovesNothingAndSaysWhy) {
    fake::Reset();
    fake::Platform().appData = GetParam();
    fake::Platform().fs.AddFile(L"M:\\ZarnikPro\\a.dat");
    fake::Platform().fs.AddFile(L"M:\\Users\\tester\\AppData\\Roaming\\ZarnikPro\\a.dat");
    const auto before = fake::Platform().fs.Snapshot();

    repair::RunRepair();

    ASSERT_EQ(fake::Platform().messages.size(), 1u);
    EXPECT_EQ(fake::Platform().messages[0].text, repair::kLocationUnknownText);
    EXPECT_EQ(fake::Platform().messages[0].caption, L"信息：");
    EXPECT_EQ(fake::Platform().messages[0].style, kWarning);
    EXPECT_EQ(fake::Platform().fs.Snapshot(), before);
    for (const auto& call : fake::Platform().calls) {
        EXPECT_TRUE(call.op == Op::AppData || call.op == Op::Message);
    }
}

INSTANTIATE_TEST_SUITE_P(NoAnswer, UnknownLocation,
                         ::testing::Values(std::nullopt, std::optional<std::wstring>(L"")));

TEST(RunRepairLocation, SecondPressFindsNothingAndStillSucceeds) {
    fake::Reset();
    fake::Platform().appData = kRoaming;
    fake::Platform().fs.AddFile(kTarget + L"\\a.dat");
    repair::RunRepair();
    repair::RunRepair();
    ASSERT_EQ(fake::Platform().messages.size(), 2u);
    EXPECT_EQ(fake::Platform().messages[1].text, repair::kRepairedText);
}

TEST(BuildTargetFolderPath, AppendsTheFolderNameOnce) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\Users\\ann\\AppData\\Roaming", L"C:\\Users\\ann\\AppData\\Roaming\\ZarnikPro"},
        {L"D:\\Profiles\\李雷\\Roaming", L"D:\\Profiles\\李雷\\Roaming\\ZarnikPro"},
        {L"\\\\server\\profiles\\ann", L"\\\\server\\profiles\\ann\\ZarnikPro"},
        {L"E:\\", L"E:\\ZarnikPro"},
    };
    for (const auto& [roaming, expected] : cases) {
        EXPECT_EQ(repair::BuildTargetFolderPath(roaming), expected);
    }
}

}  // namespace
