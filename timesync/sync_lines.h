#pragma once
// The offset line and the precise search's lines, filled in from the log's texts.

#include "timesync/boundary_search.h"
#include "timesync/offset_estimate.h"

#include <string>

// The lines carry no line break; the log places them.

// How far the local clock was off and in which direction, with the uncertainty, to the
// millisecond.
std::wstring ClockCorrectionLine(const ClockCorrection& correction);

// After an answer of the precise search: the answers so far, the uncertainty left and about how
// many seconds are left (rounded up).
std::wstring SearchProgressLine(const SearchProgress& progress);

// A query that waits for the rest of the spacing since the last query to its server.
std::wstring CourtesyWaitLine(Ticks spacing, Ticks wait);
