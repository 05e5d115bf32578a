// Drives the real ZarnikRepair.exe from another process: what the user sees in its window,
// what pressing the button does on disk, and which message it shows.
#include <windows.h>
#include <gtest/gtest.h>

#include "disk_fixture.h"
#include "platform/platform.h"
#include "program.h"
#include "ui_automation.h"

namespace {

using automation::Children;
using automation::ClassName;
using automation::RectIn;
using automation::Text;
using automation::WaitUntil;

constexpr DWORD kTimeoutMs = 20000;
const std::wstring kConfirmation = L"修复成功，请重新打开zarnik入";
const std::wstring kIncomplete = L"修复未完成：部分文件正在使用或无法删除，请退出zarnik后再试一次";

using disk::Exists;
using disk::MakeFile;

// What a message box shows.
struct Box {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
    bool hasIcon = false;
};

class ProgramWindow : public ::testing::Test {
protected:
    void SetUp() override {
        roaming_ = platform::RoamingAppDataFolder().value_or(L"");
        ASSERT_FALSE(roaming_.empty());
        target_ = roaming_ + L"\\ZarnikPro";
        disk::RemoveScratch(target_);
        MakeFile(roaming_ + L"\\ZarnikPro2\\keep.txt", "sibling");
        MakeFile(roaming_ + L"\\ZarnikPro.bak\\keep.txt", "backup");

        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring commandLine = L"\"" + e2e::ProgramPath() + L"\"";
        ASSERT_TRUE(CreateProcessW(e2e::ProgramPath().c_str(), commandLine.data(), nullptr, nullptr,
                                   FALSE, 0, nullptr, nullptr, &startup, &process_))
            << "cannot start the program, error " << GetLastError();
        ASSERT_TRUE(WaitUntil(
            [&] {
                const auto found =
                    automation::TopLevelWindows(automation::kMainWindowClass, process_.dwProcessId);
                if (!found.empty()) main_ = found.front();
                return main_ != nullptr;
            },
            kTimeoutMs))
            << "the main window did not appear";
        for (HWND child : Children(main_)) {
            if (ClassName(child) == L"Button") button_ = child;
        }
        ASSERT_NE(button_, nullptr);
    }

    void TearDown() override {
        if (process_.hProcess != nullptr) {
            // Closing the window ends the program, with exit code 0.
            if (main_ != nullptr) PostMessageW(main_, WM_CLOSE, 0, 0);
            const DWORD waited = WaitForSingleObject(process_.hProcess, kTimeoutMs);
            DWORD exitCode = 259;
            GetExitCodeProcess(process_.hProcess, &exitCode);
            if (waited != WAIT_OBJECT_0) TerminateProcess(process_.hProcess, 99);
            EXPECT_EQ(waited, WAIT_OBJECT_0) << "the program did not end when closed";
            EXPECT_EQ(exitCode, 0u);
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
        EXPECT_EQ(disk::ReadFile(roaming_ + L"\\ZarnikPro2\\keep.txt"), "sibling");
        EXPECT_EQ(disk::ReadFile(roaming_ + L"\\ZarnikPro.bak\\keep.txt"), "backup");
        disk::RemoveScratch(roaming_ + L"\\ZarnikPro2");
        disk::RemoveScratch(roaming_ + L"\\ZarnikPro.bak");
        disk::RemoveScratch(target_);
    }

    // Presses the button as a user would, and reads the message box that follows.
    Box PressButtonAndReadBox() {
        PostMessageW(button_, BM_CLICK, 0, 0);
        Box box;
        WaitUntil(
            [&] {
                const auto boxes =
                    automation::TopLevelWindows(automation::kMessageBoxClass, process_.dwProcessId);
                if (!boxes.empty()) box.window = boxes.front();
                return box.window != nullptr;
            },
            kTimeoutMs);
        if (box.window == nullptr) return box;
        Sleep(200);  // let the box finish laying itself out
        box.caption = Text(box.window);
        for (HWND child : Children(box.window)) {
            if (ClassName(child) != L"Static" || !IsWindowVisible(child)) continue;
            if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                box.hasIcon = SendMessageW(child, STM_GETICON, 0, 0) != 0;
            } else if (!Text(child).empty()) {
                box.text = Text(child);
            }
        }
        return box;
    }

    void Dismiss(const Box& box) {
        PostMessageW(GetDlgItem(box.window, IDOK), BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box.window); }, kTimeoutMs));
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main_) != FALSE; }, kTimeoutMs))
            << "the window stayed disabled after the message";
    }

    std::wstring roaming_;
    std::wstring target_;
    PROCESS_INFORMATION process_{};
    HWND main_ = nullptr;
    HWND button_ = nullptr;
};

TEST_F(ProgramWindow, ShowsItsFixedWindowAndControls) {
    EXPECT_EQ(Text(main_), L"");
    const LONG style = GetWindowLongW(main_, GWL_STYLE);
    for (const LONG present : {WS_CAPTION, WS_SYSMENU, WS_MINIMIZEBOX, WS_CLIPCHILDREN}) {
        EXPECT_EQ(style & present, present) << std::hex << present;
    }
    for (const LONG absent : {WS_MAXIMIZEBOX, WS_THICKFRAME, WS_CHILD}) {
        EXPECT_EQ(style & absent, 0) << std::hex << absent;
    }
    EXPECT_EQ(GetWindowLongW(main_, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW), 0);
    EXPECT_EQ(GetWindow(main_, GW_OWNER), nullptr);

    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const RECT outer = RectIn(main_, nullptr);
    EXPECT_EQ(outer.left, (screenWidth - 380) / 2);
    EXPECT_EQ(outer.top, (screenHeight - 250) / 2);
    EXPECT_EQ(outer.right - outer.left, 380);
    EXPECT_EQ(outer.bottom - outer.top, 250);
    if (screenWidth == 1920 && screenHeight == 1080) {
        EXPECT_EQ(outer.left, 770);
        EXPECT_EQ(outer.top, 415);
    }

    struct Expected {
        const wchar_t* text;
        const wchar_t* className;
        RECT rect;
    };
    const Expected controls[] = {
        {L"此软件用于zarnik功能无法开启", L"ZarnikRepairLabel", {24, 24, 24 + 328, 24 + 24}},
        {L"退出zarnik再使用此软件，不然的话可能会修复失败",
         L"ZarnikRepairLabel",
         {24, 64, 24 + 352, 64 + 40}},
        {L"zarnik功能修复", L"Button", {112, 152, 112 + 120, 152 + 32}},
    };
    const auto children = Children(main_);
    ASSERT_EQ(children.size(), std::size(controls));
    for (const Expected& control : controls) {
        HWND found = nullptr;
        for (HWND child : children) {
            if (Text(child) == control.text) found = child;
        }
        ASSERT_NE(found, nullptr) << "no control reads " << control.text;
        EXPECT_EQ(ClassName(found), control.className);
        EXPECT_TRUE(IsWindowVisible(found));
        const RECT rect = RectIn(found, main_);
        EXPECT_EQ(rect.left, control.rect.left) << control.text;
        EXPECT_EQ(rect.top, control.rect.top) << control.text;
        EXPECT_EQ(rect.right, control.rect.right) << control.text;
        EXPECT_EQ(rect.bottom, control.rect.bottom) << control.text;
    }
    const LONG buttonStyle = GetWindowLongW(button_, GWL_STYLE);
    EXPECT_EQ(buttonStyle & 0x0F, BS_PUSHBUTTON);  // not a default push button
    EXPECT_EQ(buttonStyle & (BS_CENTER | BS_VCENTER | BS_MULTILINE),
              BS_CENTER | BS_VCENTER | BS_MULTILINE);

    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    EXPECT_TRUE(WaitUntil(
        [&] {
            return GetGUIThreadInfo(process_.dwThreadId, &thread) && thread.hwndFocus == button_;
        },
        kTimeoutMs))
        << "the keyboard focus is not on the button";
}

TEST_F(ProgramWindow, RepairRemovesTheFolderAndConfirms) {
    for (const wchar_t* name : {L"\\cache\\1.bin", L"\\cache\\2.bin", L"\\config\\用户.ini",
                                L"\\.lock", L"\\plugins\\old\\p.dll"}) {
        MakeFile(target_ + name);
    }

    const Box box = PressButtonAndReadBox();
    ASSERT_NE(box.window, nullptr) << "no message box appeared";
    EXPECT_EQ(box.caption, L"信息：");
    EXPECT_EQ(box.text, kConfirmation);
    EXPECT_FALSE(box.hasIcon);
    EXPECT_FALSE(IsWindowEnabled(main_)) << "the window takes input while the message is up";
    EXPECT_FALSE(Exists(target_));
    Dismiss(box);
}

TEST_F(ProgramWindow, FileInUseStaysAndTheFailureIsShown) {
    MakeFile(target_ + L"\\cache\\1.bin");
    MakeFile(target_ + L"\\db\\open.db", "open");
    Box box;
    {
        disk::HeldOpen held(target_ + L"\\db\\open.db");
        ASSERT_TRUE(held.held());
        box = PressButtonAndReadBox();
    }
    ASSERT_NE(box.window, nullptr) << "no message box appeared";
    EXPECT_EQ(box.caption, L"信息：");
    EXPECT_EQ(box.text, kIncomplete);
    EXPECT_TRUE(box.hasIcon);
    EXPECT_FALSE(IsWindowEnabled(main_));
    EXPECT_EQ(disk::ReadFile(target_ + L"\\db\\open.db"), "open");
    EXPECT_FALSE(Exists(target_ + L"\\cache"));
    Dismiss(box);

    // With the file let go, a second press finishes the repair.
    const Box second = PressButtonAndReadBox();
    ASSERT_NE(second.window, nullptr);
    EXPECT_EQ(second.text, kConfirmation);
    EXPECT_FALSE(Exists(target_));
    Dismiss(second);
}

}  // namespace
