#include "timesync/sync_lines.h"

#include "timesync/timesync_texts.h"

#include <initializer_list>
#include <string_view>

namespace {

// The text with each {} replaced by the next value.
std::wstring Fill(std::wstring_view text, std::initializer_list<std::wstring> values) {
    std::wstring line;
    const auto* value = values.begin();
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text.substr(at, 2) == L"{}" && value != values.end()) {
            line += *value++;
            ++at;
        } else {
            line += text[at];
        }
    }
    return line;
}

// A span as seconds with three decimals, rounded to the millisecond, without its sign.
std::wstring Seconds(Ticks span) {
    const Ticks size = span < 0 ? -span : span;
    const Ticks milliseconds = (size + kTicksPerMillisecond / 2) / kTicksPerMillisecond;
    std::wstring fraction = std::to_wstring(milliseconds % 1000);
    fraction.insert(0, 3 - fraction.size(), L'0');
    return std::to_wstring(milliseconds / 1000) + L"." + fraction;
}

std::wstring WholeSecondsUp(Ticks span) {
    return std::to_wstring((span + kTicksPerSecond - 1) / kTicksPerSecond);
}

} // namespace

std::wstring ClockCorrectionLine(const ClockCorrection& correction) {
    const std::wstring amount = Seconds(correction.amount);
    const std::wstring halfWidth = Seconds(correction.halfWidth);
    if (amount == L"0.000")
        return Fill(kClockRightText, {halfWidth});
    return Fill(correction.amount > 0 ? kClockSlowText : kClockFastText, {amount, halfWidth});
}

std::wstring SearchProgressLine(const SearchProgress& progress) {
    return Fill(kSearchProgressText,
                {std::to_wstring(progress.answers), Seconds(progress.halfWidth),
                 WholeSecondsUp(progress.timeLeft)});
}

std::wstring CourtesyWaitLine(Ticks spacing, Ticks wait) {
    constexpr Ticks kTenth = kTicksPerSecond / 10;
    const Ticks tenths = (wait + kTenth - 1) / kTenth;
    return Fill(kCourtesyWaitText, {WholeSecondsUp(spacing), std::to_wstring(tenths / 10) + L"." +
                                                                 std::to_wstring(tenths % 10)});
}
