#pragma once

#include "settings/xml_session.h"

#include <libxml/tree.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// Makes sure a file exists at the path, creating its missing folders and an empty file.
bool EnsureFileExists(const wchar_t* path);
// Creates every missing folder along the path.
bool CreateDirectoryPath(const wchar_t* path);
// Copies the path up to and including its last "/" or "\" (at most size - 1 characters and a
// terminator) and returns the count with the terminator; 0 for a null or empty path, a null
// buffer or a size below 1.
int GetParentDirPrefix(int size, const wchar_t* path, wchar_t* out);

// Writes the default document (the running program's auto-start command line and the six
// servers) to the path. Always true.
bool CreateDefaultServerFile(const wchar_t* path);

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

// The text of the first "autorun" child of the root's first "cfg" child: empty when that "cfg"
// has no "autorun" or its "autorun" has no text; nullopt when the file cannot be read or is
// refused, or its root has no "cfg" child.
std::optional<std::wstring> ReadAutoRunCommand(const std::wstring& path);

// The servers of srv.xml as ReadServerEntries reads them; when the file cannot be read (missing,
// locked, refused), no entries and why.
struct ServerList {
    std::vector<ServerEntry> entries;
    std::optional<ReadFault> fault;
};
ServerList ReadServerList(const std::wstring& path);

// Every "srv" child of the root whose first "url" child and first "ip" child both hold text
// other than blanks, wherever they stand among its children, in file order; blanks and line
// breaks around each text are dropped.
std::vector<ServerEntry> ReadServerEntries(const std::wstring& path);
