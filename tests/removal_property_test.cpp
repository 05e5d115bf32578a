// Random trees, random targets: whatever the tree, the removal deletes nothing outside its
// target, never goes through a link, leaves exactly what refused removal (with the folders
// above it), and its result and message say "removed" exactly when the target is gone.
//
// Each case is built from its own number. ZR_PROPERTY_CASES sets how many cases run (3000 by
// default), starting at ZR_PROPERTY_FIRST (1); a failure names its case for replaying it alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cwctype>
#include <random>
#include <set>

#include "fake_platform.h"
#include "repair/repair.h"

namespace {

using fake::Kind;
using Snapshot = std::map<std::wstring, std::pair<Kind, bool>, fake::NoCaseLess>;

const std::wstring kRoaming = L"M:\\Roaming";
const std::wstring kZarnik = kRoaming + L"\\ZarnikPro";

unsigned long EnvNumber(const char* name, unsigned long fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::strtoul(value, nullptr, 10) : fallback;
}

bool SameNoCase(wchar_t a, wchar_t b) { return std::towlower(a) == std::towlower(b); }

// True when `path` is `folder` itself (orSelf) or lies beneath it.
bool IsWithin(const std::wstring& path, const std::wstring& folder, bool orSelf) {
    if (path.size() < folder.size() ||
        !std::equal(folder.begin(), folder.end(), path.begin(), SameNoCase)) {
        return false;
    }
    return path.size() == folder.size() ? orSelf : path[folder.size()] == L'\\';
}

bool IsLink(Kind kind) { return kind == Kind::FolderLink || kind == Kind::FileLink; }

class TreeGenerator {
public:
    explicit TreeGenerator(unsigned long caseNumber) : random_(caseNumber) {}

    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(random_); }

    std::wstring Name() {
        static const wchar_t* const kNames[] = {
            L"a",         L"B",          L"cache", L"data.bin", L".hidden",
            L"..x",       L"a.b.c",      L"x.",    L"a b",      L" lead",
            L"trail ",    L"名字",       L"😀",     L"Привет",   L"é.txt",
            L"ZarnikPro", L"ZarnikPro2", L"~$tmp", L"#1",       L"long-name-0123456789-abcdefghij"};
        std::wstring name = kNames[Pick(static_cast<int>(std::size(kNames)))];
        if (Chance(0.5)) name += std::to_wstring(Pick(100));
        return name;
    }

    // Fills `folder` with random entries, `depth` levels at most.
    void Populate(fake::FileSystem& fs, const std::wstring& folder, int depth) {
        folders_.push_back(folder);
        const int count = Pick(6);
        for (int i = 0; i < count; ++i) {
            const std::wstring path = folder + L"\\" + Name();
            if (fs.Exists(path)) continue;
            const int what = Pick(100);
            if (what < 30 && depth > 0) {
                fs.AddFolder(path)->locked = Chance(0.03);
                Populate(fs, path, depth - 1);
            } else if (what < 40) {
                fs.AddFolder(path);  // stays empty
            } else if (what < 48) {
                fs.AddLink(path, LinkTarget());
            } else if (what < 52) {
                fs.AddLink(path, folders_[Pick(static_cast<int>(folders_.size()))] + L"\\x", false);
            } else if (what < 54 && depth > 0) {
                std::wstring chain = path;
                for (int level = Pick(150); level >= 0; --level) chain += L"\\d";
                fs.AddFile(chain + L"\\bottom", Chance(0.2));
            } else {
                fs.AddFile(path, Chance(0.08));
            }
        }
    }

    std::wstring LinkTarget() {
        static const wchar_t* const kFixed[] = {L"M:", L"M:\\Outside", L"M:\\Roaming",
                                                L"M:\\Roaming\\ZarnikPro", L"M:\\nowhere"};
        if (Chance(0.4)) return kFixed[Pick(static_cast<int>(std::size(kFixed)))];
        return folders_[Pick(static_cast<int>(folders_.size()))];
    }

    const std::vector<std::wstring>& folders() const { return folders_; }

private:
    std::mt19937_64 random_;
    std::vector<std::wstring> folders_;
};

// What must be left of `before` once `target` has been removed as far as it can be.
Snapshot ExpectedAfter(const Snapshot& before, const std::wstring& target) {
    const auto found = before.find(target);
    if (found == before.end() || found->second.first == Kind::File ||
        found->second.first == Kind::FileLink) {
        return before;  // nothing to remove
    }
    Snapshot after;
    for (const auto& [path, entry] : before) {
        if (!IsWithin(path, target, true)) after.emplace(path, entry);
    }
    if (found->second.first == Kind::FolderLink) return after;  // the link alone goes
    // What refuses removal stays, and so does every folder above it, up to the target.
    for (const auto& [path, entry] : before) {
        if (!IsWithin(path, target, true) || !entry.second) continue;
        for (std::wstring kept = path; IsWithin(kept, target, true);
             kept = kept.substr(0, kept.rfind(L'\\'))) {
            after.emplace(kept, before.at(kept));
        }
    }
    return after;
}

// No listing, and no removal, went through a link or left the target.
void ExpectCallsStayedInside(const Snapshot& before, const std::wstring& target) {
    for (const fake::Call& call : fake::Platform().calls) {
        const bool listing = call.op == fake::Op::Start;
        const bool removal = call.op == fake::Op::Delete || call.op == fake::Op::RemoveFolder;
        if (!listing && !removal) continue;
        EXPECT_TRUE(IsWithin(call.path, target, true)) << "touched outside the target";
        // Every folder on the way must be a real folder; a listed folder too.
        for (std::size_t slash = call.path.find(L'\\', target.size()); slash != std::wstring::npos;
             slash = call.path.find(L'\\', slash + 1)) {
            const auto on = before.find(call.path.substr(0, slash));
            EXPECT_FALSE(on != before.end() && IsLink(on->second.first)) << "went through a link";
        }
        const auto self = before.find(call.path);
        EXPECT_FALSE(listing && self != before.end() && IsLink(self->second.first))
            << "listed a link's target";
    }
}

TEST(RemovalProperty, RandomTreesAndTargets) {
    const unsigned long first = EnvNumber("ZR_PROPERTY_FIRST", 1);
    const unsigned long cases = EnvNumber("ZR_PROPERTY_CASES", 3000);
    for (unsigned long number = first; number < first + cases; ++number) {
        SCOPED_TRACE("case " + std::to_string(number) + " (replay: ZR_PROPERTY_FIRST=" +
                     std::to_string(number) + " ZR_PROPERTY_CASES=1)");
        fake::Reset();
        TreeGenerator generate(number);
        fake::FileSystem& fs = fake::Platform().fs;

        fs.AddFolder(L"M:\\Outside");
        generate.Populate(fs, L"M:\\Outside", 3);
        fs.AddFolder(kRoaming + L"\\ZarnikPro2");
        generate.Populate(fs, kRoaming + L"\\ZarnikPro2", 1);
        fs.AddFile(kRoaming + L"\\ZarnikPro.bak\\keep");
        const int shape = generate.Pick(100);
        if (shape < 70) {
            fs.AddFolder(kZarnik);
            generate.Populate(fs, kZarnik, 4);
        } else if (shape < 80) {
            fs.AddLink(kZarnik, generate.LinkTarget());
        } else if (shape < 85) {
            fs.AddFile(kZarnik, generate.Chance(0.5));
        } else if (shape < 90) {
            fs.AddFolder(kZarnik);
        }  // else: no ZarnikPro at all

        const Snapshot before = fs.Snapshot();
        fake::Platform().calls.clear();
        const int action = generate.Pick(100);
        if (action < 10) {
            // The refused forms touch nothing at all.
            static const wchar_t* const kRefused[] = {L"",     L"   ",    L"M:",
                                                      L"M:\\", L"  M:\\", L"C:"};
            EXPECT_FALSE(repair::RemoveFolderTree(kRefused[generate.Pick(6)]));
            EXPECT_TRUE(fake::Platform().calls.empty());
            EXPECT_EQ(fs.Snapshot(), before);
        } else if (action < 55) {
            // Any folder of the tree, or the Zarnik folder, given with leading spaces or without.
            const auto& folders = generate.folders();
            const std::wstring target =
                generate.Chance(0.5) ? kZarnik
                                     : folders[generate.Pick(static_cast<int>(folders.size()))];
            const bool removed =
                repair::RemoveFolderTree(std::wstring(generate.Pick(3), L' ') + target);
            const Snapshot after = fs.Snapshot();
            EXPECT_EQ(after, ExpectedAfter(before, target));
            const auto was = before.find(target);
            const bool wasFolder = was != before.end() && (was->second.first == Kind::Folder ||
                                                           was->second.first == Kind::FolderLink);
            EXPECT_EQ(removed, wasFolder && after.count(target) == 0);
            ExpectCallsStayedInside(before, target);
        } else {
            const bool known = action >= 60;
            if (!known)
                fake::Platform().appData = std::nullopt;
            else
                fake::Platform().appData = kRoaming;
            repair::RunRepair();
            const Snapshot after = fs.Snapshot();
            ASSERT_EQ(fake::Platform().messages.size(), 1u);
            const std::wstring& text = fake::Platform().messages[0].text;
            if (!known) {
                EXPECT_EQ(text, repair::kLocationUnknownText);
                EXPECT_EQ(after, before);
                continue;
            }
            EXPECT_EQ(after, ExpectedAfter(before, kZarnik));
            EXPECT_EQ(text,
                      after.count(kZarnik) == 0 ? repair::kRepairedText : repair::kIncompleteText);
            ExpectCallsStayedInside(before, kZarnik);
        }
        if (HasFailure()) break;  // one failing case is enough to replay
    }
}

// An entry that appears in a folder after that folder was listed keeps the folder, and
// every folder above it, and the repair says it is not complete.
TEST(RemovalDuringChange, EntryAddedAfterListingKeepsItsFolders) {
    fake::Reset();
    fake::State& platform = fake::Platform();
    platform.appData = kRoaming;
    platform.fs.AddFile(kZarnik + L"\\cache\\1.bin");
    platform.fs.AddFile(kZarnik + L"\\cache\\2.bin");
    platform.fs.AddFile(kZarnik + L"\\settings.ini");
    bool added = false;
    platform.afterCall = [&](const fake::Call& call) {
        // Zarnik writes a new file into cache just after the listing of cache ended.
        if (!added && call.op == fake::Op::Close && !platform.calls.empty() &&
            platform.calls.back().op == fake::Op::Continue) {
            const auto start = std::find_if(
                platform.calls.rbegin(), platform.calls.rend(), [&](const fake::Call& c) {
                    return c.op == fake::Op::Start && c.search == call.search;
                });
            if (start != platform.calls.rend() && start->path == kZarnik + L"\\cache") {
                platform.fs.AddFile(kZarnik + L"\\cache\\new.tmp");
                added = true;
            }
        }
    };

    repair::RunRepair();

    ASSERT_TRUE(added);
    const Snapshot expected{{L"M:\\Roaming", {Kind::Folder, false}},
                            {kZarnik, {Kind::Folder, false}},
                            {kZarnik + L"\\cache", {Kind::Folder, false}},
                            {kZarnik + L"\\cache\\new.tmp", {Kind::File, false}}};
    EXPECT_EQ(platform.fs.Snapshot(), expected);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, repair::kIncompleteText);
}

}  // namespace
