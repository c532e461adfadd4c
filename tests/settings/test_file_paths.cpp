#include "settings/server_file.h"

#include "tests/support/scratch_folder.h"
#include "settings/file_paths.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

struct PrefixCase {
    int size;
    const wchar_t* path;
    std::wstring expected;
    int count;
};

TEST(GetParentDirPrefix, EndsJustAfterTheLastSeparator) {
    const PrefixCase cases[] = {
        {100, L"C:/Tools/sync/srv.xml", L"C:/Tools/sync/", 15},
        {100, L"C:\\Tools\\srv.xml", L"C:\\Tools\\", 10},
        {100, L"C:/Tools\\mixed/srv.xml", L"C:/Tools\\mixed/", 16},
        {100, L"C:/Tools/", L"C:/Tools/", 10},
        {100, L"srv.xml", L"", 1},
        {5, L"C:/Tools/sync/srv.xml", L"C:/T", 5},
        {1, L"C:/Tools/srv.xml", L"", 1},
        {15, L"C:/Tools/sync/srv.xml", L"C:/Tools/sync/", 15},
        {14, L"C:/Tools/sync/srv.xml", L"C:/Tools/sync", 14},
    };
    for (const auto& c : cases) {
        std::vector<wchar_t> out(static_cast<size_t>(c.size) + 1, L'#');
        EXPECT_EQ(GetParentDirPrefix(c.size, c.path, out.data()), c.count)
            << testing::PrintToString(std::wstring(c.path)) << " size " << c.size;
        EXPECT_EQ(std::wstring(out.data()), c.expected)
            << testing::PrintToString(std::wstring(c.path)) << " size " << c.size;
        EXPECT_EQ(out[static_cast<size_t>(c.size)], L'#') << "written beyond the size";
    }
}

TEST(GetParentDirPrefix, GivesZeroForMissingInput) {
    wchar_t out[8] = {L'#'};
    EXPECT_EQ(GetParentDirPrefix(8, nullptr, out), 0);
    EXPECT_EQ(GetParentDirPrefix(8, L"", out), 0);
    EXPECT_EQ(GetParentDirPrefix(8, L"C:/a", nullptr), 0);
    EXPECT_EQ(GetParentDirPrefix(0, L"C:/a", out), 0);
    EXPECT_EQ(GetParentDirPrefix(-3, L"C:/a", out), 0);
    EXPECT_EQ(out[0], L'#');
}

TEST(CreateDirectoryPath, CreatesEveryMissingFolder) {
    const ScratchFolder scratch;
    const std::wstring deep = scratch.Path() + L"\\a/b\\时间/ไทย/";
    EXPECT_TRUE(CreateDirectoryPath(deep.c_str()));
    EXPECT_TRUE(IsFolder(scratch.Path() + L"\\a\\b\\时间\\ไทย"));
    EXPECT_TRUE(CreateDirectoryPath(deep.c_str())) << "all there already";
    // Without a trailing separator the last part is a folder too.
    EXPECT_TRUE(CreateDirectoryPath((scratch.Path() + L"\\c\\d").c_str()));
    EXPECT_TRUE(IsFolder(scratch.Path() + L"\\c\\d"));
}

TEST(CreateDirectoryPath, RefusesBadPaths) {
    const ScratchFolder scratch;
    EXPECT_FALSE(CreateDirectoryPath(nullptr));
    EXPECT_FALSE(CreateDirectoryPath(L""));
    EXPECT_FALSE(CreateDirectoryPath((scratch.Path() + L"\\" + std::wstring(10000, L'a')).c_str()));
    // A file stands where a folder should be.
    ASSERT_TRUE(WriteFileBytes(scratch.File(L"file"), "x"));
    EXPECT_FALSE(CreateDirectoryPath((scratch.File(L"file") + L"\\sub\\").c_str()));
}

TEST(EnsureFileExists, CreatesFoldersAndAnEmptyFileAndKeepsAnExistingOne) {
    const ScratchFolder scratch;
    const std::wstring path = scratch.Path() + L"/新/folder/srv.xml";
    EXPECT_TRUE(EnsureFileExists(path.c_str()));
    EXPECT_TRUE(IsFile(path));
    EXPECT_EQ(ReadFileBytes(path), "");
    ASSERT_TRUE(WriteFileBytes(path, "<kept/>"));
    EXPECT_TRUE(EnsureFileExists(path.c_str()));
    EXPECT_EQ(ReadFileBytes(path), "<kept/>");
}

TEST(EnsureFileExists, FailsWhenNoFileCanBeMade) {
    const ScratchFolder scratch;
    EXPECT_FALSE(EnsureFileExists(nullptr));
    EXPECT_FALSE(EnsureFileExists(L""));
    ASSERT_TRUE(WriteFileBytes(scratch.File(L"file"), "x"));
    EXPECT_FALSE(EnsureFileExists((scratch.File(L"file") + L"\\srv.xml").c_str()));
}

} // namespace
