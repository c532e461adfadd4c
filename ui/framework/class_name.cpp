#include "ui/framework/class_name.h"

#include "base/com_apartment.h"

#include <objbase.h>

#include <cwchar>

namespace Tessel {

std::wstring FormatGuidClassName(const GUID& guid) {
    ClassName name = {};
    const unsigned char* d = guid.Data4;
    swprintf(name.data(), name.size(), L"{%08lX-%04X-%04x-%02X%02X-%02X%02X%02X%02X%02X%02X}",
             guid.Data1, guid.Data2, guid.Data3, d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7]);
    return name.data();
}

ClassName MakeClassName(const wchar_t* pszGiven) {
    ClassName name = {};
    if (pszGiven && *pszGiven) {
        lstrcpynW(name.data(), pszGiven, static_cast<int>(name.size()));
        return name;
    }
    const ComApartment com;
    GUID guid;
    if (SUCCEEDED(CoCreateGuid(&guid)))
        lstrcpynW(name.data(), FormatGuidClassName(guid).c_str(), static_cast<int>(name.size()));
    return name;
}

} // namespace Tessel
