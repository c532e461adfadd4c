#include "settings/autorun_entry.h"

#include "tests/support/child_process.h"
#include "app/program_paths.h"
#include "tests/support/read_only_run_key.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

struct RawValue {
    DWORD type = 0;
    std::vector<BYTE> data;
};

std::optional<RawValue> ReadRaw(const std::wstring& name) {
    RawValue value;
    DWORD size = 0;
    const auto read = [&](void* data) {
        return RegGetValueW(HKEY_LOCAL_MACHINE, kRunKey, name.c_str(), RRF_RT_ANY | RRF_NOEXPAND,
                            &value.type, data, &size) == ERROR_SUCCESS;
    };
    if (!read(nullptr))
        return std::nullopt;
    value.data.resize(size);
    return read(value.data.data()) ? std::optional(value) : std::nullopt;
}

void WriteRaw(const std::wstring& name, DWORD type, const void* data, DWORD size) {
    EXPECT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, kRunKey, name.c_str(), type, data, size),
              ERROR_SUCCESS);
}

void DeleteRaw(const std::wstring& name) {
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kRunKey, name.c_str());
}

// REG_SZ data as the registry holds it, terminator included.
std::vector<BYTE> StringData(const std::wstring& text) {
    const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
}

// Each test works on a value name of its own and removes it again.
class AutoRunEntry : public testing::Test {
protected:
    void SetUp() override { DeleteRaw(m_strName); }
    void TearDown() override { DeleteRaw(m_strName); }
    const wchar_t* Name() const { return m_strName.c_str(); }

    std::wstring m_strName = L"VexloTest" + std::to_wstring(GetCurrentProcessId());
};

TEST_F(AutoRunEntry, SetWritesTheTextWithItsTerminator) {
    const std::wstring text = L"\"C:\\Tools\\同步\\VexloTest.exe\" /ip 132.163.4.101";
    EXPECT_FALSE(IsAutoRunRegistered(Name()));
    EXPECT_TRUE(SetAutoRunEntry(Name(), text.c_str(), true));
    EXPECT_TRUE(IsAutoRunRegistered(Name()));
    const auto value = ReadRaw(m_strName);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value->data, StringData(text));
}

TEST_F(AutoRunEntry, TheSameTextInOtherLetterCaseIsNotWritten) {
    const std::wstring present = L"\"C:\\TOOLS\\VEXLO.EXE\" /IP 1.2.3.4";
    WriteRaw(m_strName, REG_SZ, present.c_str(), static_cast<DWORD>((present.size() + 1) * 2));
    EXPECT_TRUE(SetAutoRunEntry(Name(), L"\"c:\\tools\\vexlo.exe\" /ip 1.2.3.4", true));
    const auto value = ReadRaw(m_strName);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->data, StringData(present)) << "rewritten";
}

TEST_F(AutoRunEntry, OtherDataIsReplaced) {
    const std::pair<DWORD, std::wstring> present[] = {
        {REG_SZ, L"\"C:\\old.exe\" /ip 1.2.3.4"},
        {REG_EXPAND_SZ, L"\"C:\\Tools\\a.exe\" /ip 1.2.3.4x"},
        // The same characters, but not as a string value.
        {REG_BINARY, L"\"C:\\new.exe\" /ip 5.6.7.8"},
    };
    const std::wstring text = L"\"C:\\new.exe\" /ip 5.6.7.8";
    for (const auto& [type, data] : present) {
        WriteRaw(m_strName, type, data.c_str(), static_cast<DWORD>((data.size() + 1) * 2));
        EXPECT_TRUE(SetAutoRunEntry(Name(), text.c_str(), true)) << type;
        const auto value = ReadRaw(m_strName);
        ASSERT_TRUE(value);
        EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ)) << type;
        EXPECT_EQ(value->data, StringData(text)) << type;
    }
}

TEST_F(AutoRunEntry, DeleteRemovesThePresentValue) {
    ASSERT_TRUE(SetAutoRunEntry(Name(), L"anything", true));
    EXPECT_TRUE(SetAutoRunEntry(Name(), nullptr, false));
    EXPECT_FALSE(IsAutoRunRegistered(Name()));
    EXPECT_FALSE(ReadRaw(m_strName));
}

TEST_F(AutoRunEntry, DeletingAMissingValueFails) {
    EXPECT_FALSE(SetAutoRunEntry(Name(), L"text", false));
    EXPECT_FALSE(IsAutoRunRegistered(Name()));
}

TEST_F(AutoRunEntry, RefusesMissingNamesAndTexts) {
    EXPECT_FALSE(IsAutoRunRegistered(nullptr));
    EXPECT_FALSE(SetAutoRunEntry(nullptr, L"text", true));
    EXPECT_FALSE(SetAutoRunEntry(nullptr, L"text", false));
    EXPECT_FALSE(SetAutoRunEntry(Name(), L"", true));
    EXPECT_FALSE(SetAutoRunEntry(Name(), nullptr, true));
    EXPECT_FALSE(IsAutoRunRegistered(Name())) << "nothing is written";
}

TEST_F(AutoRunEntry, AnyValueOfTheNameCountsAsRegistered) {
    const DWORD number = 7;
    WriteRaw(m_strName, REG_DWORD, &number, sizeof number);
    EXPECT_TRUE(IsAutoRunRegistered(Name()));
    WriteRaw(m_strName, REG_SZ, L"", 0);
    EXPECT_TRUE(IsAutoRunRegistered(Name()));
}

TEST_F(AutoRunEntry, DataLongerThan520BytesIsHandledWhole) {
    const std::wstring longText = L"\"C:\\" + std::wstring(400, L'长') + L".exe\" /ip 1.2.3.4";
    EXPECT_TRUE(SetAutoRunEntry(Name(), longText.c_str(), true));
    ASSERT_TRUE(ReadRaw(m_strName));
    EXPECT_EQ(ReadRaw(m_strName)->data, StringData(longText));
    EXPECT_TRUE(SetAutoRunEntry(Name(), longText.c_str(), true)) << "already there";
    EXPECT_TRUE(SetAutoRunEntry(Name(), L"short", true));
    EXPECT_EQ(ReadRaw(m_strName)->data, StringData(L"short"));
    EXPECT_TRUE(SetAutoRunEntry(Name(), longText.c_str(), true));
    EXPECT_TRUE(SetAutoRunEntry(Name(), nullptr, false));
    EXPECT_FALSE(IsAutoRunRegistered(Name()));
}

TEST_F(AutoRunEntry, TheEmptyNameIsTheKeysDefaultValue) {
    const auto saved = ReadRaw(L"");
    DeleteRaw(L"");
    EXPECT_FALSE(IsAutoRunRegistered(L""));
    EXPECT_TRUE(SetAutoRunEntry(L"", L"\"C:\\dir\\\" /ip 1.2.3.4", true));
    EXPECT_TRUE(IsAutoRunRegistered(L""));
    EXPECT_EQ(ReadRaw(L"")->data, StringData(L"\"C:\\dir\\\" /ip 1.2.3.4"));
    EXPECT_TRUE(SetAutoRunEntry(L"", nullptr, false));
    EXPECT_FALSE(IsAutoRunRegistered(L""));
    if (saved)
        WriteRaw(L"", saved->type, saved->data.data(), static_cast<DWORD>(saved->data.size()));
}

TEST_F(AutoRunEntry, ABackupPutsBackTypeAndDataOrTheAbsence) {
    const DWORD number = 7;
    WriteRaw(m_strName, REG_DWORD, &number, sizeof number);
    const RunValueBackup present(Name());
    DeleteRaw(m_strName);
    const RunValueBackup absent(Name());
    ASSERT_TRUE(SetAutoRunEntry(Name(), L"new", true));
    EXPECT_TRUE(present.Restore());
    const auto value = ReadRaw(m_strName);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value->data, (std::vector<BYTE>{7, 0, 0, 0}));
    EXPECT_TRUE(absent.Restore());
    EXPECT_FALSE(ReadRaw(m_strName));
}

TEST_F(AutoRunEntry, ASecondProcessSeesWhatTheFirstWrote) {
    const std::wstring probe = QuoteArgument(SiblingProgramPath(L"settings_probe.exe"));
    const std::wstring registered = probe + L" registered " + QuoteArgument(m_strName);
    EXPECT_EQ(RunProcess(registered), 1u);
    ASSERT_TRUE(SetAutoRunEntry(Name(), L"\"C:\\a.exe\" /ip 1.2.3.4", true));
    EXPECT_EQ(RunProcess(registered), 0u);

    const std::wstring text = L"\"C:\\程序\\b.exe\" /ip 5.6.7.8";
    EXPECT_EQ(
        RunProcess(probe + L" register " + QuoteArgument(m_strName) + L" " + QuoteArgument(text)),
        0u);
    ASSERT_TRUE(ReadRaw(m_strName));
    EXPECT_EQ(ReadRaw(m_strName)->data, StringData(text));
    ASSERT_TRUE(SetAutoRunEntry(Name(), nullptr, false));
    EXPECT_EQ(RunProcess(registered), 1u);
}

TEST_F(AutoRunEntry, AChangeReportsWhyItFailed) {
    const std::wstring stored = L"\"C:\\a.exe\" /ip 1.2.3.4";
    const struct {
        const char* name;
        bool readOnly; // the key may be read but not changed
        bool present;  // the key holds `stored` under the name
        const wchar_t* text;
        bool set;
        LSTATUS expected;
    } cases[] = {
        {"set", false, false, L"\"C:\\b.exe\" /ip 1.2.3.4", true, ERROR_SUCCESS},
        {"delete", false, true, nullptr, false, ERROR_SUCCESS},
        {"set an empty text", false, false, L"", true, ERROR_INVALID_PARAMETER},
        {"delete a missing value", false, false, nullptr, false, ERROR_FILE_NOT_FOUND},
        {"set, read only", true, false, L"\"C:\\b.exe\" /ip 1.2.3.4", true, ERROR_ACCESS_DENIED},
        {"replace, read only", true, true, L"\"C:\\b.exe\" /ip 1.2.3.4", true, ERROR_ACCESS_DENIED},
        {"delete, read only", true, true, nullptr, false, ERROR_ACCESS_DENIED},
        {"already there, read only", true, true, L"\"c:\\A.EXE\" /ip 1.2.3.4", true, ERROR_SUCCESS},
    };
    for (const auto& c : cases) {
        DeleteRaw(m_strName);
        if (c.present && !c.readOnly) {
            ASSERT_TRUE(SetAutoRunEntry(Name(), stored.c_str(), true)) << c.name;
        }
        std::optional<ReadOnlyRunKey> readOnly;
        if (c.readOnly) {
            readOnly.emplace(c.present ? m_strName : L"", stored);
            ASSERT_TRUE(readOnly->IsInPlace()) << c.name;
        }
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(SetAutoRunEntry(Name(), c.text, c.set), c.expected == ERROR_SUCCESS) << c.name;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(c.expected)) << c.name;
        if (c.readOnly) {
            EXPECT_EQ(readOnly->Value(m_strName), c.present ? std::optional(stored) : std::nullopt)
                << c.name << ": unchanged";
        }
    }
}

TEST_F(AutoRunEntry, OnlyThisProgramsOwnCommandLineIsItsOwn) {
    const std::wstring program = GetModulePath();
    std::wstring upperCase = program;
    CharUpperW(upperCase.data());
    const DWORD number = 7;
    const struct {
        const char* name;
        DWORD type; // REG_NONE: no value
        std::wstring data;
        EntryOwner expected;
    } cases[] = {
        {"no value", REG_NONE, L"", EntryOwner::Nobody},
        {"own", REG_SZ, L"\"" + program + L"\" /ip 132.163.4.101", EntryOwner::ThisProgram},
        {"own, other letter case", REG_SZ, L"\"" + upperCase + L"\" /ip 1.2.3.4",
         EntryOwner::ThisProgram},
        {"another copy of the same name", REG_SZ,
         L"\"C:\\Other\\" + m_strName + L".exe\" /ip 1.2.3.4", EntryOwner::OtherProgram},
        {"own program without /ip", REG_SZ, L"\"" + program + L"\"", EntryOwner::OtherProgram},
        {"not a string", REG_DWORD, L"", EntryOwner::OtherProgram},
    };
    for (const auto& c : cases) {
        DeleteRaw(m_strName);
        if (c.type == REG_SZ)
            WriteRaw(m_strName, REG_SZ, c.data.c_str(),
                     static_cast<DWORD>((c.data.size() + 1) * sizeof(wchar_t)));
        else if (c.type == REG_DWORD)
            WriteRaw(m_strName, REG_DWORD, &number, sizeof number);
        EXPECT_EQ(AutoRunOwner(Name()), c.expected) << c.name;
    }
    EXPECT_EQ(AutoRunOwner(nullptr), EntryOwner::Nobody);
}

} // namespace
