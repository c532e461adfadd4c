#include "clock_privilege.h"

#include <vector>

namespace {

class TokenHandle {
public:
    explicit TokenHandle(DWORD dwAccess) {
        if (!OpenProcessToken(GetCurrentProcess(), dwAccess, &m_hToken))
            m_hToken = nullptr;
    }
    ~TokenHandle() {
        if (m_hToken)
            CloseHandle(m_hToken);
    }
    TokenHandle(const TokenHandle&) = delete;
    TokenHandle& operator=(const TokenHandle&) = delete;
    HANDLE Get() const { return m_hToken; }

private:
    HANDLE m_hToken = nullptr;
};

std::optional<LUID> TimePrivilegeId() {
    LUID luid = {};
    if (!LookupPrivilegeValueW(nullptr, SE_SYSTEMTIME_NAME, &luid))
        return std::nullopt;
    return luid;
}

} // namespace

std::optional<bool> TokenListsTimePrivilege(HANDLE hToken) {
    const auto luid = TimePrivilegeId();
    DWORD dwSize = 0;
    GetTokenInformation(hToken, TokenPrivileges, nullptr, 0, &dwSize);
    if (!luid || dwSize < sizeof(TOKEN_PRIVILEGES))
        return std::nullopt;
    std::vector<BYTE> buffer(dwSize);
    if (!GetTokenInformation(hToken, TokenPrivileges, buffer.data(), dwSize, &dwSize))
        return std::nullopt;
    const auto* pPrivileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    for (DWORD i = 0; i < pPrivileges->PrivilegeCount; ++i) {
        const LUID& id = pPrivileges->Privileges[i].Luid;
        if (id.LowPart == luid->LowPart && id.HighPart == luid->HighPart)
            return true;
    }
    return false;
}

bool RemoveTimePrivilege() {
    const TokenHandle token(TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY);
    const auto luid = TimePrivilegeId();
    if (!token.Get() || !luid)
        return false;
    TOKEN_PRIVILEGES removal = {};
    removal.PrivilegeCount = 1;
    removal.Privileges[0].Luid = *luid;
    removal.Privileges[0].Attributes = SE_PRIVILEGE_REMOVED;
    // ERROR_NOT_ALL_ASSIGNED when the token never held it: the read-back below decides.
    AdjustTokenPrivileges(token.Get(), FALSE, &removal, 0, nullptr, nullptr);
    return TokenListsTimePrivilege(token.Get()) == false;
}

bool IsWine() {
    const HMODULE hNtdll = GetModuleHandleW(L"ntdll.dll");
    return hNtdll && GetProcAddress(hNtdll, "wine_get_version");
}
