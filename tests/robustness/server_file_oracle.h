#pragma once

#include "server_file.h"

#include <optional>
#include <string>
#include <vector>

// What the readers of srv.xml must give for a file's bytes, worked out from the documented
// reading rules with the XML library alone, apart from the code under test.
struct ExpectedReading {
    bool accepted = false; // well-formed, within the size limit, no entity or external DTD
    std::optional<std::wstring> command;
    std::vector<ServerEntry> entries;
    std::vector<std::wstring> autorunTexts; // of every //srv_root/cfg/autorun element
};

ExpectedReading ExpectReading(const std::string& bytes);
