#pragma once

#include "timesync/boundary_search.h"
#include "timesync/offset_estimate.h"

#include <string>

// Texts of the offset line and of the precise search; each {} takes one value in turn.
inline constexpr wchar_t kClockSlowText[] = L"本机时钟慢 {} 秒（±{} 秒）。";
inline constexpr wchar_t kClockFastText[] = L"本机时钟快 {} 秒（±{} 秒）。";
inline constexpr wchar_t kClockRightText[] = L"本机时钟与服务器一致（±{} 秒）。";
inline constexpr wchar_t kSearchProgressText[] =
    L"精确校时：已收到 {} 个应答，误差还有 ±{} 秒，约需 {} 秒。";
inline constexpr wchar_t kSearchFallbackText[] =
    L"服务器的应答前后矛盾，精确校时改用最后一个应答。";
inline constexpr wchar_t kSearchCutShortText[] = L"精确校时未能完成，按已收到的应答校时。";
inline constexpr wchar_t kCourtesyWaitText[] =
    L"距上次询问这台服务器不到 {} 秒：等待 {} 秒后再询问，以免被服务器拒绝。";

// The lines below carry no line break; the log places them.

// How far the local clock was off and in which direction, with the uncertainty, to the
// millisecond.
std::wstring ClockCorrectionLine(const ClockCorrection& correction);

// After an answer of the precise search: the answers so far, the uncertainty left and about how
// many seconds are left (rounded up).
std::wstring SearchProgressLine(const SearchProgress& progress);

// A search that fell back to its last answer alone.
std::wstring SearchFallbackLine();

// A search whose later query failed: the clock is set from the answers so far.
std::wstring SearchCutShortLine();

// A query that waits for the rest of the spacing since the last query to its server.
std::wstring CourtesyWaitLine(Ticks spacing, Ticks wait);
