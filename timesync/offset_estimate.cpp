#include "timesync/offset_estimate.h"

#include "timesync/era.h"

Ticks StampMoment(const TimeAnswer& answer) {
    return answer.arrival - (answer.connectDone - answer.connectStart) / 2;
}

CounterOffset OffsetFromAnswer(const TimeAnswer& answer) {
    const Ticks secondStart = ResolveSecondsSince1900(answer.count) * kTicksPerSecond;
    const Ticks halfConnect = (answer.connectDone - answer.connectStart) / 2;
    return {secondStart + kTicksPerSecond / 2 - StampMoment(answer),
            kTicksPerSecond / 2 + halfConnect};
}

Ticks ServerTimeAt(const CounterOffset& server, Ticks counter) {
    return counter + server.offset;
}

ClockCorrection CorrectionOf(const CounterOffset& server, const ClockReading& local) {
    return {ServerTimeAt(server, local.counter) - local.clock, server.halfWidth};
}
