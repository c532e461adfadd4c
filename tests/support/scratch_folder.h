#pragma once

#include <string>
#include <string_view>

// A fresh folder under the temporary folder, removed with everything in it when destroyed. The
// name part may hold any characters, for program folders outside the ANSI code page.
class ScratchFolder {
public:
    explicit ScratchFolder(std::wstring_view namePart = L"vexlo");
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // With backslashes and without a trailing one: "C:\users\me\Temp\vexlo-12-3".
    const std::wstring& Path() const { return m_strPath; }
    // As a program folder is written: forward slashes and a trailing "/".
    std::wstring ProgramDir() const;
    // Path() + "\" + name.
    std::wstring File(std::wstring_view name) const;

private:
    std::wstring m_strPath;
};

// The whole content of a file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);
// Replaces the file's content; false when it cannot be written.
bool WriteFileBytes(const std::wstring& path, std::string_view bytes);
