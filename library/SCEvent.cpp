#include "library/SCEvent.h"

#include "Utility/DiagnosticLog.h"

#include <cinttypes>

SCEvent::SCEvent(std::uint64_t eventId, Date eventDate, std::string eventPath, std::uint32_t eventFlags)
    : eventId_(eventId), eventDate_(eventDate), eventPath_(std::move(eventPath)), eventFlags_(eventFlags) {}

std::string SCEvent::description() const {
    return pmFormat("<%s { eventId = %" PRIu64 ", eventPath = %s, eventFlags = %" PRIu32 " } >", "SCEvent", eventId_,
                    eventPath_.c_str(), eventFlags_);
}
