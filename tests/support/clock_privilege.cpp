#include "tests/support/clock_privilege.h"

#include "base/owned_handle.h"

#include <vector>

namespace {

using OwnedToken = OwnedHandle<HANDLE, [](HANDLE h) { CloseHandle(h); }>;

bool SameLuid(const LUID& a, const LUID& b) {
    return a.LowPart == b.LowPart && a.HighPart == b.HighPart;
}

} // namespace

std::optional<bool> TokenListsTimePrivilege(HANDLE hToken) {
    LUID luid = {};
    DWORD dwSize = 0;
    GetTokenInformation(hToken, TokenPrivileges, nullptr, 0, &dwSize);
    if (!LookupPrivilegeValueW(nullptr, SE_SYSTEMTIME_NAME, &luid) || dwSize < sizeof(DWORD))
        return std::nullopt;
    std::vector<BYTE> buffer(dwSize);
    if (!GetTokenInformation(hToken, TokenPrivileges, buffer.data(), dwSize, &dwSize))
        return std::nullopt;
    const auto* pPrivileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    for (DWORD i = 0; i < pPrivileges->PrivilegeCount; ++i) {
        if (SameLuid(pPrivileges->Privileges[i].Luid, luid))
            return true;
    }
    return false;
}

bool RemoveTimePrivilege() {
    HANDLE hToken = nullptr;
    TOKEN_PRIVILEGES removal = {1, {{{}, SE_PRIVILEGE_REMOVED}}};
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &hToken))
        return false;
    const OwnedToken token(hToken);
    if (!LookupPrivilegeValueW(nullptr, SE_SYSTEMTIME_NAME, &removal.Privileges[0].Luid))
        return false;
    // ERROR_NOT_ALL_ASSIGNED when the token never held it: the read-back decides.
    AdjustTokenPrivileges(token.Get(), FALSE, &removal, 0, nullptr, nullptr);
    return TokenListsTimePrivilege(token.Get()) == false;
}

bool IsWine() {
    const HMODULE hNtdll = GetModuleHandleW(L"ntdll.dll");
    return hNtdll && GetProcAddress(hNtdll, "wine_get_version");
}
