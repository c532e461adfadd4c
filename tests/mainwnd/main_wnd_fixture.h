#pragma once

#include "app/app_globals.h"
#include "ui/mainwnd/main_wnd.h"
#include "tests/support/exchange_host.h"
#include "tests/support/message_pump.h"
#include "app/program_paths.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/window_text.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

// The log pane's text until the first synchronisation.
inline constexpr wchar_t kHelpText[] =
    L"\r\n\r\n\r\n\r\n 请选择时间服务器\r\n\r\n 然后双击校正时间\r\n\r\n "
    L"本程序支持命令行调用，格式为:"
    L"\r\n\r\n Vexlo.exe /ip 132.163.4.101\r\n\r\n 本程序使用说明见:"
    L"\r\n\r\n https://github.com/vexlo/vexlo#readme\r\n\r\n\r\n";

// A main window created as the entry point creates it (hidden, WS_OVERLAPPEDWINDOW), with its
// program folder (g_appDir, where srv.xml lives) in a scratch folder of its own.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_hInstance = GetModuleHandleW(nullptr);
        g_appDir = m_folder.ProgramDir();
    }

    void TearDown() override {
        if (m_wnd && IsWindow(m_wnd->GetHwnd()))
            DestroyWindow(m_wnd->GetHwnd());
        PumpMessagesFor(10);
        TakeQuitCode();
        m_wnd.reset();
    }

    void WriteServerFile(const std::string& xml) const {
        WriteFileBytes(m_folder.File(L"srv.xml"), xml);
    }
    std::string ReadServerFile() const { return ReadFileBytes(m_folder.File(L"srv.xml")); }

    HWND CreateMainWindow() {
        m_wnd = std::make_unique<CMainWnd>();
        const HWND hWnd = m_wnd->Create(nullptr, g_hInstance, WS_OVERLAPPEDWINDOW);
        PumpMessagesFor(10);
        return hWnd;
    }

    CMainWnd& Wnd() const { return *m_wnd; }

    ScratchFolder m_folder{L"mainwnd"};
    TestQuerySpacing m_spacing; // tests ask one server again and again
    std::unique_ptr<CMainWnd> m_wnd;
};
