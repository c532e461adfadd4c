#pragma once
// What the server list and the log say when srv.xml gives no servers.

#include "settings/server_file_reader.h"

// What the server list shows when srv.xml gives it no servers of its own, and the log line that
// says why; an empty window is never left unexplained.
struct ServerListNotice {
    bool useDefaults = false;        // the six built-in servers instead of the file's
    const wchar_t* format = nullptr; // the log line (wvnsprintfW format, %i: line); null: none
    int line = 0;                    // where the XML library refused the file, 0 for nowhere
};

// For what reading srv.xml gave; fileWasMissing: there was no srv.xml when the window was made,
// so a file that cannot be read now is one that could not be created.
ServerListNotice NoticeForServerList(const ServerList& list, bool fileWasMissing);
