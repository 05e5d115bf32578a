// The repair: remove the user's Zarnik data folder and say truthfully whether it is gone.
#pragma once

#include <string>

namespace repair {

// Removes `path` and everything beneath it; true when the folder itself was removed.
// Refuses, touching nothing: a path that is empty after its leading spaces, "X:" and "X:\".
// Links (junctions, symbolic links) are removed themselves, never followed.
bool RemoveFolderTree(const std::wstring& path);

// Removes everything beneath `folder` that can be removed; a failure on one entry
// does not stop the others. Depth costs heap, not stack.
void EmptyFolder(const std::wstring& folder);

// The Zarnik data folder inside the given roaming application-data folder.
std::wstring BuildTargetFolderPath(const std::wstring& roamingAppData);

// Removes the Zarnik data folder of the current user and shows the outcome; returns
// once the message has been dismissed.
void RunRepair();

inline constexpr wchar_t kMessageCaption[] = L"信息：";
inline constexpr wchar_t kRepairedText[] = L"修复成功，请重新打开zarnik入";
inline constexpr wchar_t kIncompleteText[] =
    L"修复未完成：部分文件正在使用或无法删除，请退出zarnik后再试一次";
inline constexpr wchar_t kLocationUnknownText[] = L"修复未完成：无法确定zarnik数据文件夹的位置";

}  // namespace repair
