#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "disk_fixture.h"
#include "platform/text_posix.h"

namespace disk {

using platform::FromUtf8;
using platform::ToNativePath;

std::wstring NewScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zarnik-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    return FromUtf8(pattern);
}

void MakeFolder(const std::wstring& path) {
    std::filesystem::create_directories(ToNativePath(path));
}

void MakeFile(const std::wstring& path, const std::string& content) {
    MakeFolder(path.substr(0, path.rfind(L'\\')));
    std::ofstream file(ToNativePath(path), std::ios::binary);
    file << content;
    if (!file) throw std::runtime_error("cannot write " + ToNativePath(path));
}

std::string ReadFile(const std::wstring& path) {
    std::ifstream file(ToNativePath(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

bool Exists(const std::wstring& path) {
    struct stat own {};
    return lstat(ToNativePath(path).c_str(), &own) == 0;
}

bool MakeFolderLink(const std::wstring& link, const std::wstring& target) {
    return symlink(ToNativePath(target).c_str(), ToNativePath(link).c_str()) == 0;
}

bool FolderLinksAreRemovable() { return true; }

void RemoveScratch(const std::wstring& path) {
    std::error_code ignored;
    std::filesystem::remove_all(ToNativePath(path), ignored);
}

HeldOpen::HeldOpen(const std::wstring&) {}
HeldOpen::~HeldOpen() = default;
void SetReadOnly(const std::wstring&, bool) {}

}  // namespace disk
