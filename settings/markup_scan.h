#pragma once

#include <cstddef>
#include <string_view>

// The most attributes (namespace declarations included) that one start tag of srv.xml may hold.
// The format uses none; the XML library checks each attribute against all earlier ones of its tag,
// so a tag with many costs time by their square.
inline constexpr std::size_t kMaxAttributesPerTag = 8;

// True when no start tag of the text holds more than kMaxAttributesPerTag attributes. Comments,
// CDATA sections, processing instructions, the document type declaration and quoted values are
// passed over; one pass, whatever the text holds.
bool AttributesWithinLimit(std::string_view text);
