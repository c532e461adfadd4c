#pragma once

#include "app/app_globals.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

// A test whose program folder (g_appDir) is a scratch folder of its own.
class ProgramFolderTest : public testing::Test {
protected:
    void SetUp() override { UseProgramFolder(L"vexlo-settings"); }
    void TearDown() override {
        g_appDir = m_strSavedAppDir;
        m_folder.reset();
    }

    void UseProgramFolder(std::wstring_view namePart) {
        m_folder = std::make_unique<ScratchFolder>(namePart);
        g_appDir = m_folder->ProgramDir();
    }
    const ScratchFolder& Folder() const { return *m_folder; }
    // srv.xml with backslashes, as a test reads it.
    std::wstring ServerFile() const { return m_folder->File(L"srv.xml"); }

private:
    std::wstring m_strSavedAppDir = g_appDir;
    std::unique_ptr<ScratchFolder> m_folder;
};
