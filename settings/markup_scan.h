#pragma once

#include <cstddef>
#include <string_view>

// Bounds on the markup of srv.xml that keep every read short. The format itself uses no
// attributes; the XML library checks each attribute against all earlier ones of its tag, so a
// tag with many costs time by their square, and many namespace declarations cost more than
// their number.
inline constexpr std::size_t kMaxAttributesPerTag = 8;
inline constexpr std::size_t kMaxNamespaceDeclarations = 16;
// Start tags, comments, processing instructions, CDATA sections, declarations and attributes
// together: room for 106,000 servers of three elements each.
inline constexpr std::size_t kMaxMarkupItems = 320'000;

// True when the text stays within the bounds above. Quoted values and the contents of comments,
// CDATA sections and processing instructions are passed over; one pass, whatever the text holds.
bool MarkupWithinLimits(std::string_view text);
