#pragma once

#include "app/program_paths.h"
#include "settings/text_encoding.h"

#include <string>
#include <utility>

// The servers of a new srv.xml, as its lines hold them.
inline const std::pair<const char*, const char*> kDefaultServerLines[] = {
    {"time-a.timefreq.bldrdoc.gov", "132.163.4.101"},
    {"time-b.timefreq.bldrdoc.gov", "132.163.4.102"},
    {"time-c.timefreq.bldrdoc.gov", "132.163.4.103"},
    {"utcnist2.colorado.edu", "128.138.141.172"},
    {"time-a.nist.gov", "129.6.15.28"},
    {"time-b.nist.gov", "129.6.15.29"},
};

// srv.xml in its formatted layout, with the given fourth line.
inline std::string ServerFileWithAutoRunLine(const std::string& autorunLine) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<srv_root>\n"
                       "  <cfg>\n"
                       "    " +
                       autorunLine +
                       "\n"
                       "  </cfg>\n";
    for (const auto& [url, ip] : kDefaultServerLines) {
        text +=
            std::string("  <srv>\n    <url>") + url + "</url>\n    <ip>" + ip + "</ip>\n  </srv>\n";
    }
    return text + "</srv_root>\n";
}

// srv.xml as a new one is written for the running program.
inline std::string ExpectedDefaultServerFile() {
    return ServerFileWithAutoRunLine("<autorun><![CDATA[\"" + ToUtf8(GetModulePath()) +
                                     "\" /ip 132.163.4.101]]></autorun>");
}
