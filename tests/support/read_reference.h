#pragma once
// A speed bound that holds on a busy machine: a read is timed against libxml2's own plain parse
// of an ordinary file, measured in the same test, so that whatever slows one slows both.

#include "time_limits.h"

#include <libxml/parser.h>

#include <algorithm>
#include <string>

// The median of three plain parses of the bytes into a tree, nothing counted or checked.
inline double PlainParseMs(const std::string& bytes) {
    double runs[3];
    for (double& run : runs)
        run = ElapsedMs([&] {
            xmlFreeDoc(xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                                     XML_PARSE_NONET));
        });
    std::sort(std::begin(runs), std::end(runs));
    return std::max(runs[1], 1.0);
}

// An ordinary server list of about the given size.
inline std::string OrdinaryServerList(size_t bytes) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<srv_root>\n";
    for (int i = 0; text.size() < bytes - 64; ++i)
        text += "  <srv>\n    <url>host" + std::to_string(i) +
                ".example</url>\n    <ip>10.0.0.1</ip>\n  </srv>\n";
    return text + "</srv_root>\n";
}
