#pragma once
// What srv.xml holds: its auto-start command line and its servers.

#include "settings/server_file.h"
#include "settings/xml_document.h"

#include <optional>
#include <string>
#include <vector>

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
