// Names on the host's disk are bytes; every one must survive the trip to std::wstring and back.
#include <gtest/gtest.h>

#include "platform/text_posix.h"

namespace {

TEST(Utf8, ValidTextConvertsBothWays) {
    const std::pair<std::string, std::wstring> cases[] = {
        {"plain.txt", L"plain.txt"},
        {"\xe5\x90\x8d\xe5\xad\x97", L"名字"},
        {"\xf0\x9f\x98\x80", L"😀"},
        {"\xd0\x9f\xd1\x80", L"Пр"},
        {"", L""},
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(platform::FromUtf8(bytes), text);
        EXPECT_EQ(platform::ToUtf8(text), bytes);
    }
}

TEST(Utf8, InvalidBytesRoundTripUnchanged) {
    const std::string cases[] = {"\xff", "a\xc3", "\xc0\xaf", "\xed\xa0\x80", "\xe5\x90", "x\x80y"};
    for (const std::string& bytes : cases) {
        const std::wstring text = platform::FromUtf8(bytes);
        EXPECT_EQ(platform::ToUtf8(text), bytes);
    }
}

TEST(NativePath, BackslashesBecomeSlashes) {
    EXPECT_EQ(platform::ToNativePath(L"/tmp/x\\ZarnikPro\\名"), "/tmp/x/ZarnikPro/\xe5\x90\x8d");
}

}  // namespace
