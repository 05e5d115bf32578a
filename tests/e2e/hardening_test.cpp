// The built program's defences: its PE header, the DLLs it imports, and where it looks for
// DLLs once it runs.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "program.h"
#include "ui_automation.h"

namespace {

std::vector<std::uint8_t> ReadWholeFile(const std::wstring& path) {
    std::vector<std::uint8_t> bytes;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) read = 0;
    bytes.resize(read);
    CloseHandle(file);
    return bytes;
}

// What the tests need from a PE32 image, read from the file as the loader would.
struct PeImage {
    IMAGE_FILE_HEADER file{};
    IMAGE_OPTIONAL_HEADER32 optional{};
    std::vector<std::string> imports;  // DLL names, lower case
};

std::optional<PeImage> ReadPe(const std::vector<std::uint8_t>& bytes) {
    auto fits = [&](std::size_t offset, std::size_t size) {
        return offset <= bytes.size() && size <= bytes.size() - offset;
    };
    IMAGE_DOS_HEADER dos;
    if (!fits(0, sizeof dos)) return std::nullopt;
    std::memcpy(&dos, bytes.data(), sizeof dos);
    const auto headers = static_cast<std::size_t>(dos.e_lfanew);
    IMAGE_NT_HEADERS32 nt;
    if (dos.e_magic != IMAGE_DOS_SIGNATURE || !fits(headers, sizeof nt)) return std::nullopt;
    std::memcpy(&nt, bytes.data() + headers, sizeof nt);
    if (nt.Signature != IMAGE_NT_SIGNATURE ||
        nt.OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
        return std::nullopt;
    }
    PeImage image{nt.FileHeader, nt.OptionalHeader, {}};

    const std::size_t sections =
        headers + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) + nt.FileHeader.SizeOfOptionalHeader;
    auto toOffset = [&](DWORD rva) -> std::optional<std::size_t> {
        for (WORD i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
            IMAGE_SECTION_HEADER section;
            if (!fits(sections + i * sizeof section, sizeof section)) return std::nullopt;
            std::memcpy(&section, bytes.data() + sections + i * sizeof section, sizeof section);
            const DWORD size = std::max(section.Misc.VirtualSize, section.SizeOfRawData);
            if (rva >= section.VirtualAddress && rva < section.VirtualAddress + size) {
                return rva - section.VirtualAddress + section.PointerToRawData;
            }
        }
        return std::nullopt;
    };
    const IMAGE_DATA_DIRECTORY imports =
        nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto descriptor = toOffset(imports.VirtualAddress);
    for (; descriptor && fits(*descriptor, sizeof(IMAGE_IMPORT_DESCRIPTOR));
         *descriptor += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        IMAGE_IMPORT_DESCRIPTOR entry;
        std::memcpy(&entry, bytes.data() + *descriptor, sizeof entry);
        if (entry.Name == 0) break;
        const auto name = toOffset(entry.Name);
        if (!name) return std::nullopt;
        std::string dll(
            reinterpret_cast<const char*>(bytes.data() + *name),
            strnlen(reinterpret_cast<const char*>(bytes.data() + *name), bytes.size() - *name));
        std::transform(dll.begin(), dll.end(), dll.begin(), [](char c) {
            return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        });
        image.imports.push_back(dll);
    }
    return image;
}

TEST(Hardening, HeaderIsA32BitGuiProgramWithAslrAndDep) {
    const auto image = ReadPe(ReadWholeFile(e2e::ProgramPath()));
    ASSERT_TRUE(image.has_value()) << "not a PE32 file";
    EXPECT_EQ(image->file.Machine, IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(image->optional.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
    EXPECT_TRUE(image->optional.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE);
    EXPECT_TRUE(image->optional.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_NX_COMPAT);
    // ASLR can move the program only if it keeps its relocations.
    EXPECT_FALSE(image->file.Characteristics & IMAGE_FILE_RELOCS_STRIPPED);
    EXPECT_GT(image->optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC].Size, 0u);
}

TEST(Hardening, ImportsOnlyDllsThatShipWithWindows) {
    const std::set<std::string> shipped{"kernel32.dll", "user32.dll",  "gdi32.dll",
                                        "comctl32.dll", "shell32.dll", "ole32.dll",
                                        "advapi32.dll", "msvcrt.dll"};
    const auto image = ReadPe(ReadWholeFile(e2e::ProgramPath()));
    ASSERT_TRUE(image.has_value());
    ASSERT_FALSE(image->imports.empty());
    for (const std::string& dll : image->imports) {
        EXPECT_TRUE(shipped.count(dll)) << dll << " does not ship with Windows";
    }
}

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.rfind(L'\\')); }

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return FolderOf(path);
}

// Has code inside `process` load a DLL by its bare name; whether it was loaded.
bool LoadByNameInside(HANDLE process, const std::wstring& name) {
    const SIZE_T bytes = (name.size() + 1) * sizeof(wchar_t);
    void* remote =
        VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (remote == nullptr || !WriteProcessMemory(process, remote, name.c_str(), bytes, nullptr)) {
        ADD_FAILURE() << "cannot write into the process, error " << GetLastError();
        return false;
    }
    // kernel32 sits at the same address in every process of a session.
    const auto loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "LoadLibraryW")));
    const HANDLE thread = CreateRemoteThread(process, nullptr, 0, loadLibrary, remote, 0, nullptr);
    DWORD module = 0;
    if (thread == nullptr) {
        ADD_FAILURE() << "cannot start a thread in the process, error " << GetLastError();
    } else {
        EXPECT_EQ(WaitForSingleObject(thread, 20000), WAIT_OBJECT_0);
        GetExitCodeThread(thread, &module);
        CloseHandle(thread);
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return module != 0;
}

PROCESS_INFORMATION Start(const std::wstring& program, const std::wstring& arguments) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        FolderOf(program).c_str(), &startup, &process)) {
        ADD_FAILURE() << "cannot start the program, error " << GetLastError();
    }
    return process;
}

void Stop(PROCESS_INFORMATION& process) {
    if (process.hProcess == nullptr) return;
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 20000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
}

// A Downloads folder with a DLL planted beside the program: the program looks for DLLs in
// the system folder only, while a program that does not restrict the search loads it.
TEST(Hardening, DllPlantedBesideTheProgramIsNeverLoaded) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring downloads =
        std::wstring(temp) + L"zr-downloads-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring program = downloads + L"\\ZarnikRepair.exe";
    const std::wstring unguarded = downloads + L"\\window_tool.exe";
    const std::wstring marker = downloads + L"\\zrplant.dll.loaded";
    auto removeDownloads = [&] {
        for (const std::wstring& file :
             {program, unguarded, marker, downloads + L"\\zrplant.dll"}) {
            DeleteFileW(file.c_str());
        }
        RemoveDirectoryW(downloads.c_str());
    };
    removeDownloads();  // what an interrupted run may have left
    ASSERT_TRUE(CreateDirectoryW(downloads.c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(e2e::ProgramPath().c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((OwnFolder() + L"\\window_tool.exe").c_str(), unguarded.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((OwnFolder() + L"\\zrplant.dll").c_str(),
                          (downloads + L"\\zrplant.dll").c_str(), FALSE));

    PROCESS_INFORMATION repair = Start(program, L"");
    ASSERT_TRUE(automation::WaitUntil(
        [&] {
            return !automation::TopLevelWindows(automation::kMainWindowClass, repair.dwProcessId)
                        .empty();
        },
        20000));
    EXPECT_FALSE(LoadByNameInside(repair.hProcess, L"zrplant.dll"));
    EXPECT_EQ(GetFileAttributesW(marker.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the planted DLL ran inside the program";
    Stop(repair);

    // The same plant works on a program without the restriction: the check above can fail.
    PROCESS_INFORMATION control = Start(unguarded, L"idle");
    // Asked again until the new process has finished starting.
    EXPECT_TRUE(automation::WaitUntil(
        [&] { return LoadByNameInside(control.hProcess, L"zrplant.dll"); }, 20000));
    EXPECT_NE(GetFileAttributesW(marker.c_str()), INVALID_FILE_ATTRIBUTES);
    Stop(control);

    removeDownloads();
}

}  // namespace
