#include "outputs/EvidenceMoment.h"

#include "telemetry/SampleText.h"

#include <algorithm>
#include <cmath>

bool pmIsMomentInRecording(int second, double lengthSeconds) { return second >= 0 && second < lengthSeconds; }

EvidenceMoment pmDefaultEvidenceMoment(int eventSecond, int peakSecond, double lengthSeconds) {
    if (pmIsMomentInRecording(eventSecond, lengthSeconds)) return {eventSecond, EvidenceMomentSource::Event};
    if (pmIsMomentInRecording(peakSecond, lengthSeconds)) return {peakSecond, EvidenceMomentSource::Peak};
    const double middle = std::floor(std::max(0.0, lengthSeconds) / 2.0);
    return {static_cast<int>(std::min(middle, 86400.0)), EvidenceMomentSource::Middle};
}

EvidenceSpan pmEvidenceSpan(int moment, double before, double after, double lengthSeconds) {
    const double length = std::max(0.0, lengthSeconds);
    EvidenceSpan span{std::clamp(moment - before, 0.0, length), std::clamp(moment + after + 1.0, 0.0, length)};
    span.end = std::max(span.end, span.start);
    return span;
}

FileDate pmFileDateFromMillis(std::int64_t utcMillis) {
    return FileDate(std::chrono::duration_cast<FileDate::duration>(std::chrono::milliseconds(utcMillis)));
}

EvidenceClock pmEvidenceClock(const std::vector<std::int64_t>& sampleTimes, FileDate fileDate) {
    for (std::size_t second = 0; second < sampleTimes.size(); ++second)
        if (sampleTimes[second] >= 0)
            return {EvidenceClock::Source::GpsTime, sampleTimes[second] - std::int64_t(second) * 1000};
    const auto millis = std::chrono::floor<std::chrono::milliseconds>(fileDate.time_since_epoch());
    return {EvidenceClock::Source::FileTime, millis.count()};
}

EvidenceBandText pmEvidenceBandText(const GpsList& list, int second, const EvidenceClock& clock, int moment,
                                    std::int16_t speedUnit) {
    EvidenceBandText text;
    const FileDate at = pmFileDateFromMillis(clock.millisAt(second));
    text.dateTime = pmGetDateStringFromNSDate(at) + " " + pmGetTimeStringFromNSDate(at);
    text.mark = second == moment;
    // From a string, not a literal: gcc 12 misreads the literal's copy in the chain as overlapping.
    const std::string unknown = "-";
    text.speed = text.heading = text.latitude = text.longitude = unknown;
    text.g = {unknown, unknown, unknown};
    const GpsData* sample = second >= 0 ? list.GetGpsData(second) : nullptr;
    if (!sample) return text;
    if (list.IsGPSReady()) {
        if (sample->fSpeed() >= 0.0f)
            text.speed = std::to_string(pmGetShownSpeed(sample->fSpeed(), speedUnit)) + " " +
                         pmGetSpeedUnitString(speedUnit);
        text.heading = pmGetDirectionString(sample->fDirection());
        if (pmHasShownPosition(*sample)) {
            text.latitude = pmGetLocationString(true, sample->fLatitude());
            text.longitude = pmGetLocationString(false, sample->fLongitude());
        }
    }
    if (list.IsGSensorReady()) {
        text.g = {pmGetGValueText(pmGetIndicatorThousandths(sample->fGSensorX())),
                  pmGetGValueText(pmGetIndicatorThousandths(sample->fGSensorY())),
                  pmGetGValueText(pmGetIndicatorThousandths(sample->fGSensorZ()))};
    }
    return text;
}
