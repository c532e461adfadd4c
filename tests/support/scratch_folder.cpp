#include "tests/support/scratch_folder.h"

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

std::atomic<unsigned> g_folderCount = 0;

std::wstring TemporaryFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    std::wstring folder(buffer, length);
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/'))
        folder.pop_back();
    return folder;
}

} // namespace

ScratchFolder::ScratchFolder(std::wstring_view namePart)
    : m_strPath(TemporaryFolder() + L"\\" + std::wstring(namePart) + L"-" +
                std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++g_folderCount)) {
    std::filesystem::remove_all(m_strPath);
    if (!CreateDirectoryW(m_strPath.c_str(), nullptr))
        throw std::runtime_error("cannot create a scratch folder");
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_strPath, ignored);
}

std::wstring ScratchFolder::ProgramDir() const {
    std::wstring dir = m_strPath + L"/";
    for (wchar_t& c : dir) {
        if (c == L'\\')
            c = L'/';
    }
    return dir;
}

std::wstring ScratchFolder::File(std::wstring_view name) const {
    return m_strPath + L"\\" + std::wstring(name);
}

std::string ReadFileBytes(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool WriteFileBytes(const std::wstring& path, std::string_view bytes) {
    std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}
