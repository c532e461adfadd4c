#include "settings/desktop_shortcut.h"

#include "tests/support/child_process.h"
#include "app/program_paths.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace {

std::wstring FolderPath(int csidl) {
    wchar_t folder[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, folder, csidl, FALSE);
    return folder;
}

std::wstring ShortcutOn(int csidl) {
    return FolderPath(csidl) + L"\\" + kShortcutFileName;
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

struct LinkTarget {
    std::wstring path;
    std::wstring workingDirectory;
};

// What a shortcut file holds, read with the shell's own link object.
std::optional<LinkTarget> LoadLink(const std::wstring& file) {
    CoInitialize(nullptr);
    std::optional<LinkTarget> target;
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* persist = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
            if (SUCCEEDED(persist->Load(file.c_str(), STGM_READ))) {
                wchar_t path[MAX_PATH] = {};
                wchar_t directory[MAX_PATH] = {};
                link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH);
                link->GetWorkingDirectory(directory, MAX_PATH);
                target = LinkTarget{path, directory};
            }
            persist->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return target;
}

class DesktopShortcut : public testing::Test {
protected:
    void SetUp() override { Remove(); }
    void TearDown() override { Remove(); }
    void Remove() {
        SetFileAttributesW(m_strShortcut.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(m_strShortcut.c_str());
        DeleteFileW((m_strShortcut + L"\\kept").c_str());
        RemoveDirectoryW(m_strShortcut.c_str());
    }

    const std::wstring m_strProgram = GetModulePath();
    const std::wstring m_strShortcut = ShortcutOn(CSIDL_DESKTOP);
};

std::wstring FolderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\'));
}

TEST_F(DesktopShortcut, RecreatesAnExistingOne) {
    const std::wstring elsewhere = FolderPath(CSIDL_SYSTEM) + L"\\notepad.exe";
    EXPECT_FALSE(DesktopShortcutExists(m_strProgram.c_str()));
    SetDesktopShortcut(elsewhere.c_str(), true);
    // It exists wherever it points.
    EXPECT_TRUE(DesktopShortcutExists(m_strProgram.c_str()));
    ASSERT_TRUE(LoadLink(m_strShortcut));
    EXPECT_EQ(LoadLink(m_strShortcut)->path, elsewhere);
    SetDesktopShortcut(m_strProgram.c_str(), true);
    const auto target = LoadLink(m_strShortcut);
    ASSERT_TRUE(target);
    EXPECT_EQ(target->path, m_strProgram);
    EXPECT_EQ(target->workingDirectory, FolderOf(m_strProgram));
}

TEST_F(DesktopShortcut, DeletesIt) {
    ASSERT_TRUE(SetDesktopShortcut(m_strProgram.c_str(), true));
    ASSERT_TRUE(FileExists(m_strShortcut));
    EXPECT_TRUE(SetDesktopShortcut(m_strProgram.c_str(), false));
    EXPECT_FALSE(FileExists(m_strShortcut));
    EXPECT_FALSE(DesktopShortcutExists(m_strProgram.c_str()));
    // Deleting again has nothing to delete and asks nothing.
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(SetDesktopShortcut(m_strProgram.c_str(), false));
    EXPECT_LT(GetTickCount64() - start, 5'000u);
}

TEST_F(DesktopShortcut, DeletesNoFolderAndLinksNoOverlongPath) {
    const std::wstring path = L"C:\\" + std::wstring(MAX_PATH, L'd') + L"\\v.exe";
    EXPECT_FALSE(SetDesktopShortcut(path.c_str(), true));
    EXPECT_FALSE(FileExists(m_strShortcut));
    ASSERT_TRUE(CreateDirectoryW(m_strShortcut.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(m_strShortcut + L"\\kept", "kept"));
    EXPECT_FALSE(DesktopShortcutExists(m_strProgram.c_str()));
    EXPECT_FALSE(SetDesktopShortcut(m_strProgram.c_str(), false));
    EXPECT_FALSE(SetDesktopShortcut(m_strProgram.c_str(), true));
    EXPECT_EQ(ReadFileBytes(m_strShortcut + L"\\kept"), "kept");
}

TEST_F(DesktopShortcut, AFileThatIsNotAShortcutDoesNotCount) {
    const std::string contents[] = {"", "just some text", std::string(4096, '\x4C')};
    for (const auto& bytes : contents) {
        ASSERT_TRUE(WriteFileBytes(m_strShortcut, bytes));
        EXPECT_FALSE(DesktopShortcutExists(m_strProgram.c_str())) << bytes.size() << " bytes";
        EXPECT_FALSE(SetDesktopShortcut(m_strProgram.c_str(), false));
        EXPECT_EQ(ReadFileBytes(m_strShortcut), bytes) << "left as it was";
    }
}

TEST_F(DesktopShortcut, AReadOnlyShortcutCounts) {
    SetDesktopShortcut(m_strProgram.c_str(), true);
    ASSERT_TRUE(SetFileAttributesW(m_strShortcut.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(DesktopShortcutExists(m_strProgram.c_str()));
}

TEST_F(DesktopShortcut, TheCommonDesktopIsNotLookedAt) {
    const std::wstring commonFolder = FolderPath(CSIDL_COMMON_DESKTOPDIRECTORY);
    const std::wstring common = ShortcutOn(CSIDL_COMMON_DESKTOPDIRECTORY);
    ASSERT_NE(commonFolder, FolderPath(CSIDL_DESKTOP));
    CreateDirectoryW(commonFolder.c_str(), nullptr);
    SetDesktopShortcut(m_strProgram.c_str(), true);
    ASSERT_TRUE(CopyFileW(m_strShortcut.c_str(), common.c_str(), FALSE));
    SetDesktopShortcut(m_strProgram.c_str(), false);
    EXPECT_FALSE(DesktopShortcutExists(m_strProgram.c_str()));
    EXPECT_TRUE(FileExists(common)) << "not deleted";
    DeleteFileW(common.c_str());
}

TEST_F(DesktopShortcut, ASecondProcessSeesIt) {
    const std::wstring probe = QuoteArgument(SiblingProgramPath(L"settings_probe.exe"));
    EXPECT_EQ(RunProcess(probe + L" shortcut"), 1u);
    SetDesktopShortcut(m_strProgram.c_str(), true);
    EXPECT_EQ(RunProcess(probe + L" shortcut"), 0u);
    SetDesktopShortcut(m_strProgram.c_str(), false);
    EXPECT_EQ(RunProcess(probe + L" shortcut"), 1u);
}

TEST_F(DesktopShortcut, TheOwnerIsTheProgramItStarts) {
    const std::wstring elsewhere = FolderPath(CSIDL_SYSTEM) + L"\\notepad.exe";
    const struct {
        const char* name;
        std::function<void()> make;
        EntryOwner expected;
    } cases[] = {
        {"none", [] {}, EntryOwner::Nobody},
        {"this program's", [&] { SetDesktopShortcut(m_strProgram.c_str(), true); },
         EntryOwner::ThisProgram},
        {"another program's", [&] { SetDesktopShortcut(elsewhere.c_str(), true); },
         EntryOwner::OtherProgram},
        {"not a shortcut", [&] { WriteFileBytes(m_strShortcut, "text"); }, EntryOwner::Nobody},
        {"a folder", [&] { CreateDirectoryW(m_strShortcut.c_str(), nullptr); }, EntryOwner::Nobody},
    };
    for (const auto& c : cases) {
        Remove();
        c.make();
        EXPECT_EQ(DesktopShortcutOwner(m_strProgram.c_str()), c.expected) << c.name;
    }
}

} // namespace
