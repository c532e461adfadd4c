#pragma once
// A scan of srv.xml's start tags for more attributes than it may hold.

#include <cstddef>
#include <string_view>

// The format has no attributes; a start tag may still carry a few (namespace declarations among
// them). libxml2 2.9 compares each attribute of a tag with every earlier one while it reads the
// tag, before any callback can stop it, so a tag with many costs time by their square. That one
// bound is checked in a scan before the parse; every other bound is counted by the parse itself.
inline constexpr std::size_t kMaxAttributesPerTag = 8;

// True when no start tag of the UTF-8 text has more than kMaxAttributesPerTag attributes.
// Quoted values and the contents of comments, CDATA sections, processing instructions and the
// document type declaration are passed over; one pass, whatever the text holds.
bool AttributesWithinLimit(std::string_view text);
