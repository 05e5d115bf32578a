// The repair action behind the window's one button.
#include <optional>

#include "platform/platform.h"
#include "repair/repair.h"

namespace repair {

std::wstring BuildTargetFolderPath(const std::wstring& roamingAppData) {
    std::wstring path = roamingAppData;
    if (path.empty() || path.back() != L'\\') path += L'\\';
    return path + L"ZarnikPro";
}

void RunRepair() {
    constexpr unsigned kInformation = platform::kMbOk | platform::kMbTaskModal;
    constexpr unsigned kWarning = kInformation | platform::kMbIconWarning;

    const std::optional<std::wstring> appData = platform::RoamingAppDataFolder();
    // An empty answer would make the target relative to the current drive: not ours to touch.
    if (!appData || appData->empty()) {
        platform::ShowMessageBox(kLocationUnknownText, kMessageCaption, kWarning);
        return;
    }
    const std::wstring target = BuildTargetFolderPath(*appData);
    RemoveFolderTree(target);
    // Success is what is on disk afterwards: removed now, or already absent.
    if (platform::InspectPath(target).exists) {
        platform::ShowMessageBox(kIncompleteText, kMessageCaption, kWarning);
    } else {
        platform::ShowMessageBox(kRepairedText, kMessageCaption, kInformation);
    }
}

}  // namespace repair
