#pragma once
// srv.xml's servers and auto-start command line: the defaults, the path, the changes.

#include <libxml/tree.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>

// One time server as srv.xml holds it: host name and dotted IPv4 address.
// GCC 12's analyzer walks std::vector's reallocation on its own and reports the moves of entries
// into a buffer it assumes was never allocated; the pragma keeps that report off this line.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wanalyzer-null-dereference"
#endif
struct ServerEntry {
    std::wstring url;
    std::wstring ip;
    bool operator==(const ServerEntry&) const = default;
};
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

// The six servers written into a new srv.xml, in file order.
const std::array<ServerEntry, 6>& DefaultServers();

// g_appDir + L"srv.xml".
std::wstring ServerFilePath();

// The auto-start command line for the given program: "\"<path>\" /ip 132.163.4.101".
std::wstring DefaultAutoRunCommand(std::wstring_view programPath);

// Writes the default document (the running program's auto-start command line and the six
// servers) to the path. Always true.
bool CreateDefaultServerFile(const wchar_t* path);
// Creates the default file, with its folders, when there is no file at the path; true when
// there was none.
bool CreateServerFileIfMissing(const std::wstring& path);

// The command line that the command box starts with for the one the file holds: that one when it
// names this program with /ip, else the default; empty when the file holds none.
std::wstring AutoRunCommandFor(const std::optional<std::wstring>& stored);

// True when the text consists of characters that an XML document can hold.
bool IsStorableXmlText(std::wstring_view text);

// Replaces the content of every //srv_root/cfg/autorun element with the text, taken literally;
// one inside another selected element goes with that one's content. True if at least one element
// was selected; false and no change for a null document or a text that XML cannot hold.
bool SetAutoRunInDoc(xmlDocPtr doc, const wchar_t* text);

// Stores the auto-start command line in ServerFilePath(). A missing or unreadable file is left
// alone; a failed save leaves the old file as it was. True when the file now holds the text: it
// was read, has an autorun element, XML can hold the text and the save succeeded.
bool SaveAutoRunCmd(const wchar_t* text);
