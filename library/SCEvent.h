#pragma once
#include <chrono>
#include <cstdint>
#include <string>

// Flags of a folder event that the controller acts on.
inline constexpr std::uint32_t kSCEventFlagRootChanged = 0x20;   // the watched folder was moved or deleted
inline constexpr std::uint32_t kSCEventFlagUnmount = 0x80;       // its volume was unmounted
inline constexpr std::uint32_t kSCEventFlagItemRemoved = 0x200;  // an entry was removed
inline constexpr std::uint32_t kSCEventFlagItemRenamed = 0x800;  // an entry was renamed

// One event of the folder watch, as handed to the listener.
class SCEvent {
public:
    using Date = std::chrono::system_clock::time_point;

    SCEvent() = default;
    SCEvent(std::uint64_t eventId, Date eventDate, std::string eventPath, std::uint32_t eventFlags);

    std::uint64_t eventId() const { return eventId_; }
    Date eventDate() const { return eventDate_; }
    const std::string& eventPath() const { return eventPath_; }
    std::uint32_t eventFlags() const { return eventFlags_; }

    // "<SCEvent { eventId = 7, eventPath = /media/card, eventFlags = 32 } >"
    std::string description() const;

private:
    std::uint64_t eventId_ = 0;
    Date eventDate_{};
    std::string eventPath_;
    std::uint32_t eventFlags_ = 0;
};
