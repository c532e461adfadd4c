#include "main_wnd_fixture.h"
#include "main_wnd_texts.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <optional>

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::optional<std::wstring> RunValue(const std::wstring& name) {
    wchar_t data[1024] = {};
    DWORD size = sizeof data;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kRunKey, name.c_str(), RRF_RT_REG_SZ, nullptr, data,
                     &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(data);
}

void DeleteRunValue(const std::wstring& name) {
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kRunKey, name.c_str());
}

void SetRunValue(const std::wstring& name, const std::wstring& data) {
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, kRunKey, name.c_str(), REG_SZ, data.c_str(),
                    static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

std::wstring ShortcutPath() {
    wchar_t desktop[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOP, FALSE);
    return std::wstring(desktop) + L"\\" + L"Vexlo v1.1.lnk";
}

std::wstring ProgramName() {
    const std::wstring path = GetModulePath();
    const std::wstring file = path.substr(path.find_last_of(L"\\/") + 1);
    return file.substr(0, file.rfind(L'.'));
}

bool IsChecked(HWND hCheckBox) {
    return SendMessageW(hCheckBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

class MainWindowOptions : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        DeleteRunValue(ProgramName());
        DeleteRunValue(L"other");
        DeleteFileW(ShortcutPath().c_str());
    }
    void TearDown() override {
        DeleteRunValue(ProgramName());
        DeleteRunValue(L"other");
        DeleteFileW(ShortcutPath().c_str());
        RemoveDirectoryW(ShortcutPath().c_str());
        MainWindowTest::TearDown();
    }

    void Click(HWND hCheckBox) const { SendMessageW(hCheckBox, BM_CLICK, 0, 0); }
    void SetCommand(const std::wstring& text) const {
        SetWindowTextW(Wnd().m_hCmdEdit, text.c_str());
    }
    std::wstring DefaultCommand() const {
        return L"\"" + GetModulePath() + L"\" /ip 132.163.4.101";
    }
};

TEST_F(MainWindowOptions, TickingAutoStartRegistersAndRecordsTheDefaultCommand) {
    ASSERT_TRUE(CreateMainWindow());
    EXPECT_FALSE(IsChecked(Wnd().m_hAutoRunChk));
    Click(Wnd().m_hAutoRunChk);
    EXPECT_EQ(RunValue(ProgramName()), DefaultCommand());
    const std::string file = ReadServerFile();
    EXPECT_NE(file.find("<autorun>\""), std::string::npos) << file;
    EXPECT_EQ(file.find("CDATA"), std::string::npos) << "the command line is now plain text";

    // Cleared: the value goes and the command box's text is recorded.
    SetCommand(L"\"" + GetModulePath() + L"\" /ip 127.0.0.150");
    Click(Wnd().m_hAutoRunChk);
    EXPECT_EQ(RunValue(ProgramName()), std::nullopt);
    EXPECT_NE(ReadServerFile().find("\" /ip 127.0.0.150</autorun>"), std::string::npos);
}

TEST_F(MainWindowOptions, AnotherProgramsCommandIsRegisteredButNotRecorded) {
    ASSERT_TRUE(CreateMainWindow());
    const std::string before = ReadServerFile();
    SetCommand(L"\"C:\\Tools\\other.exe\" /ip 1.2.3.4");
    Click(Wnd().m_hAutoRunChk);
    EXPECT_EQ(RunValue(L"other"), L"\"C:\\Tools\\other.exe\" /ip 1.2.3.4");
    EXPECT_EQ(ReadServerFile(), before);
}

TEST_F(MainWindowOptions, NothingWrittenLeavesTheBoxClear) {
    ASSERT_TRUE(CreateMainWindow());
    const std::string before = ReadServerFile();
    SetCommand(L"");
    Click(Wnd().m_hAutoRunChk);
    EXPECT_FALSE(IsChecked(Wnd().m_hAutoRunChk));
    EXPECT_EQ(RunValue(ProgramName()), std::nullopt);
    EXPECT_EQ(ReadServerFile(), before);
    // The machine-wide hive, as this process sees it, becomes one without a Run key.
    SetCommand(DefaultCommand());
    HKEY hOther = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel", 0, KEY_READ, &hOther), 0);
    ASSERT_EQ(RegOverridePredefKey(HKEY_LOCAL_MACHINE, hOther), ERROR_SUCCESS);
    Click(Wnd().m_hAutoRunChk);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegCloseKey(hOther);
    EXPECT_FALSE(IsChecked(Wnd().m_hAutoRunChk));
    EXPECT_EQ(RunValue(ProgramName()), std::nullopt);
}

TEST_F(MainWindowOptions, ClearingWithoutARunValueChangesNothing) {
    SetRunValue(ProgramName(), L"anything at all");
    ASSERT_TRUE(CreateMainWindow());
    EXPECT_TRUE(IsChecked(Wnd().m_hAutoRunChk)) << "a value of that name, whatever it holds";
    DeleteRunValue(ProgramName());
    const std::string before = ReadServerFile();
    Click(Wnd().m_hAutoRunChk);
    EXPECT_FALSE(IsChecked(Wnd().m_hAutoRunChk));
    EXPECT_EQ(ReadServerFile(), before);
}

TEST_F(MainWindowOptions, ARefusedSavePutsTheRunValueBack) {
    ASSERT_TRUE(CreateMainWindow());
    const std::string before = ReadServerFile();
    // Without shared deletion srv.xml can be read but not replaced.
    const HANDLE held = CreateFileW(m_folder.File(L"srv.xml").c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    const HWND hBox = Wnd().m_hAutoRunChk;
    Click(hBox); // ticked: written, then taken back
    EXPECT_EQ(RunValue(ProgramName()), std::nullopt);
    EXPECT_FALSE(IsChecked(hBox));
    SetRunValue(ProgramName(), L"stored before");
    for (const char* step : {"ticked", "cleared"}) {
        Click(hBox);
        EXPECT_EQ(RunValue(ProgramName()), L"stored before") << step;
        EXPECT_TRUE(IsChecked(hBox)) << step;
    }
    CloseHandle(held);
    EXPECT_EQ(ReadServerFile(), before);
}

TEST_F(MainWindowOptions, TheShortcutBoxCreatesAndDeletesTheShortcut) {
    ASSERT_TRUE(CreateMainWindow());
    EXPECT_FALSE(IsChecked(Wnd().m_hShortcutChk));
    Click(Wnd().m_hShortcutChk);
    EXPECT_NE(GetFileAttributesW(ShortcutPath().c_str()), INVALID_FILE_ATTRIBUTES);
    DestroyWindow(Wnd().GetHwnd());

    ASSERT_TRUE(CreateMainWindow());
    EXPECT_TRUE(IsChecked(Wnd().m_hShortcutChk)) << "a new window sees the shortcut";
    Click(Wnd().m_hShortcutChk);
    EXPECT_EQ(GetFileAttributesW(ShortcutPath().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(IsChecked(Wnd().m_hShortcutChk));

    ASSERT_TRUE(CreateDirectoryW(ShortcutPath().c_str(), nullptr));
    Click(Wnd().m_hShortcutChk); // no shortcut can be saved over a folder
    EXPECT_FALSE(IsChecked(Wnd().m_hShortcutChk));
}

} // namespace
