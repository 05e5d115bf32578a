// Builds real files and folders for the disk tests, on the platform of the build.
// Paths use backslashes, as everywhere in the program.
#pragma once

#include <memory>
#include <string>

namespace disk {

inline std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    return folder + L"\\" + name;
}

// A new, empty folder of the test's own below the system's temporary folder.
std::wstring NewScratchFolder();
void MakeFolder(const std::wstring& path);  // with any missing parents
void MakeFile(const std::wstring& path, const std::string& content = "data");
std::string ReadFile(const std::wstring& path);
bool Exists(const std::wstring& path);  // a link counts itself, whatever it points to
// A link to a folder at `link` (a symbolic link); false where the system cannot make one.
bool MakeFolderLink(const std::wstring& link, const std::wstring& target);
// False under Wine, whose links are Unix symbolic links that its file calls cannot remove
// (they are reported and skipped like any other link, never followed).
bool FolderLinksAreRemovable();
// Removes a scratch tree whatever the tests left in it; links are not followed.
void RemoveScratch(const std::wstring& path);

// Windows only: a file held open without sharing, until this object goes.
class HeldOpen {
public:
    explicit HeldOpen(const std::wstring& path);
    ~HeldOpen();
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;
    bool held() const { return handle_ != nullptr; }

private:
    void* handle_ = nullptr;
};
void SetReadOnly(const std::wstring& path, bool readOnly);

}  // namespace disk
