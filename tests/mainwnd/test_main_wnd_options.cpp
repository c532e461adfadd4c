#include "settings/desktop_shortcut.h"
#include "tests/mainwnd/main_wnd_fixture.h"
#include "ui/mainwnd/main_wnd_texts.h"
#include "tests/support/read_only_run_key.h"

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
    // Another copy of the program, of the same file name in another folder.
    std::wstring OtherCopysCommand() const {
        return L"\"C:\\Other\\" + ProgramName() + L".exe\" /ip 1.2.3.4";
    }
    std::wstring OtherProgram() const { return L"C:\\windows\\system32\\notepad.exe"; }
    // The log pane: the help text, then each of these lines.
    std::wstring LogWith(std::initializer_list<const wchar_t*> lines) const {
        std::wstring text = kHelpText;
        for (const wchar_t* line : lines)
            text += std::wstring(line) + L"\r\n";
        return text;
    }
    std::wstring Log() const { return WindowText(Wnd().m_hLogEdit); }
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
    EXPECT_FALSE(IsChecked(Wnd().m_hAutoRunChk));

    // The precise road's command line is this program's own too.
    const std::wstring precise = L"\"" + GetModulePath() + L"\" /ip 127.0.0.150 /precise";
    SetCommand(precise);
    Click(Wnd().m_hAutoRunChk);
    EXPECT_EQ(RunValue(ProgramName()), precise);
    EXPECT_NE(ReadServerFile().find("\" /ip 127.0.0.150 /precise</autorun>"), std::string::npos);
    EXPECT_TRUE(IsChecked(Wnd().m_hAutoRunChk));
    EXPECT_EQ(Log(), LogWith({})) << "nothing to report";
}

TEST_F(MainWindowOptions, AnotherProgramsCommandIsRegisteredButNotRecorded) {
    ASSERT_TRUE(CreateMainWindow());
    const std::string before = ReadServerFile();
    SetCommand(L"\"C:\\Tools\\other.exe\" /ip 1.2.3.4");
    Click(Wnd().m_hAutoRunChk);
    EXPECT_EQ(RunValue(L"other"), L"\"C:\\Tools\\other.exe\" /ip 1.2.3.4");
    EXPECT_EQ(ReadServerFile(), before);
    EXPECT_FALSE(IsChecked(Wnd().m_hAutoRunChk)) << "not this program's command";
    EXPECT_EQ(Log(), LogWith({L"已写入开机自启，但它不属于本程序。"}));
}

TEST_F(MainWindowOptions, NothingWrittenLeavesTheBoxClear) {
    ASSERT_TRUE(CreateMainWindow());
    const std::string before = ReadServerFile();
    SetCommand(L"");
    Click(Wnd().m_hAutoRunChk);
    EXPECT_FALSE(IsChecked(Wnd().m_hAutoRunChk));
    EXPECT_EQ(RunValue(ProgramName()), std::nullopt);
    EXPECT_EQ(ReadServerFile(), before);
    EXPECT_EQ(Log(), LogWith({L"命令行为空，无法设置开机自启。"}));
    // A synchronisation's report ends inside its last line; the next notice starts a new one.
    SetWindowTextW(Wnd().m_hLogEdit, L"连接错误： #10061.");
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
    EXPECT_EQ(Log(), L"连接错误： #10061.\r\n无法更改开机自启! #2.\r\n");
}

// A standard user may read the machine-wide Run key but not change it.
TEST_F(MainWindowOptions, ARunKeyThatMayOnlyBeReadAsksForAdministratorRights) {
    const struct {
        const char* name;
        bool registered;
    } cases[] = {{"ticked", false}, {"cleared", true}};
    for (const auto& c : cases) {
        const ReadOnlyRunKey readOnly(c.registered ? ProgramName() : L"", DefaultCommand());
        ASSERT_TRUE(readOnly.IsInPlace()) << c.name;
        ASSERT_TRUE(CreateMainWindow()) << c.name;
        const std::string before = ReadServerFile();
        ASSERT_EQ(IsChecked(Wnd().m_hAutoRunChk), c.registered) << c.name;
        Click(Wnd().m_hAutoRunChk);
        EXPECT_EQ(IsChecked(Wnd().m_hAutoRunChk), c.registered) << c.name;
        EXPECT_EQ(Log(), LogWith({L"无法更改开机自启：需要管理员权限。"})) << c.name;
        EXPECT_EQ(readOnly.Value(ProgramName()),
                  c.registered ? std::optional(DefaultCommand()) : std::nullopt)
            << c.name;
        EXPECT_EQ(ReadServerFile(), before) << c.name;
        DestroyWindow(Wnd().GetHwnd());
    }
    EXPECT_EQ(RunValue(ProgramName()), std::nullopt) << "the real key is untouched";
}

// Copies in two folders share the value's name: only this program's own command line ticks the
// box, and clearing it never deletes another copy's value.
TEST_F(MainWindowOptions, TheBoxShowsOnlyThisProgramsOwnRunValue) {
    const struct {
        const char* name = nullptr;
        std::optional<std::wstring> value;
        bool checked = false;
    } cases[] = {
        {"none", std::nullopt, false},
        {"this program's", DefaultCommand(), true},
        {"another copy's", OtherCopysCommand(), false},
    };
    for (const auto& c : cases) {
        DeleteRunValue(ProgramName());
        if (c.value)
            SetRunValue(ProgramName(), *c.value);
        ASSERT_TRUE(CreateMainWindow()) << c.name;
        EXPECT_EQ(IsChecked(Wnd().m_hAutoRunChk), c.checked) << c.name;
        DestroyWindow(Wnd().GetHwnd());
    }
}

TEST_F(MainWindowOptions, ClearingLeavesAnotherCopysRunValue) {
    SetRunValue(ProgramName(), DefaultCommand());
    ASSERT_TRUE(CreateMainWindow());
    ASSERT_TRUE(IsChecked(Wnd().m_hAutoRunChk));
    SetRunValue(ProgramName(), OtherCopysCommand()); // the other copy registered since
    const std::string before = ReadServerFile();
    Click(Wnd().m_hAutoRunChk);
    EXPECT_EQ(RunValue(ProgramName()), OtherCopysCommand());
    EXPECT_FALSE(IsChecked(Wnd().m_hAutoRunChk));
    EXPECT_EQ(Log(), LogWith({L"开机自启项属于另一个程序，未删除。"}));
    EXPECT_EQ(ReadServerFile(), before);

    // Ticking takes the shared name over.
    Click(Wnd().m_hAutoRunChk);
    EXPECT_EQ(RunValue(ProgramName()), DefaultCommand());
    EXPECT_TRUE(IsChecked(Wnd().m_hAutoRunChk));
}

TEST_F(MainWindowOptions, ClearingWithoutARunValueChangesNothing) {
    SetRunValue(ProgramName(), DefaultCommand());
    ASSERT_TRUE(CreateMainWindow());
    ASSERT_TRUE(IsChecked(Wnd().m_hAutoRunChk));
    DeleteRunValue(ProgramName());
    const std::string before = ReadServerFile();
    Click(Wnd().m_hAutoRunChk);
    EXPECT_FALSE(IsChecked(Wnd().m_hAutoRunChk));
    EXPECT_EQ(ReadServerFile(), before);
    EXPECT_EQ(Log(), LogWith({})) << "it is as the click asked";
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
    const std::wstring storedBefore = L"\"" + GetModulePath() + L"\" /ip 127.0.0.151";
    SetRunValue(ProgramName(), storedBefore);
    for (const char* step : {"ticked", "cleared"}) {
        Click(hBox);
        EXPECT_EQ(RunValue(ProgramName()), storedBefore) << step;
        EXPECT_TRUE(IsChecked(hBox)) << step;
    }
    CloseHandle(held);
    EXPECT_EQ(ReadServerFile(), before);
    const wchar_t* const notSaved = L"无法保存 srv.xml，开机自启未更改。";
    EXPECT_EQ(Log(), LogWith({notSaved, notSaved, notSaved}));
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
    EXPECT_EQ(Log(), LogWith({L"无法创建桌面快捷方式。"}));
}

// A shortcut of the same name that starts another program is not this program's: the box stays
// clear, clearing it leaves the shortcut alone, ticking it replaces the shortcut.
TEST_F(MainWindowOptions, TheShortcutBoxShowsOnlyThisProgramsShortcut) {
    ASSERT_TRUE(SetDesktopShortcut(OtherProgram().c_str(), true));
    ASSERT_TRUE(CreateMainWindow());
    EXPECT_FALSE(IsChecked(Wnd().m_hShortcutChk));
    Click(Wnd().m_hShortcutChk);
    EXPECT_EQ(DesktopShortcutOwner(GetModulePath().c_str()), EntryOwner::ThisProgram);
    EXPECT_TRUE(IsChecked(Wnd().m_hShortcutChk));

    ASSERT_TRUE(SetDesktopShortcut(OtherProgram().c_str(), true)); // replaced since
    Click(Wnd().m_hShortcutChk);
    EXPECT_EQ(DesktopShortcutOwner(OtherProgram().c_str()), EntryOwner::ThisProgram)
        << "still the other program's";
    EXPECT_FALSE(IsChecked(Wnd().m_hShortcutChk));
    EXPECT_EQ(Log(), LogWith({L"桌面快捷方式属于另一个程序，未删除。"}));
}

} // namespace
