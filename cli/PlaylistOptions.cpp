#include "cli/PlaylistOptions.h"

#include <charconv>

namespace {

// "YYYY-MM-DD" naming a real day of the Gregorian calendar.
bool parseDay(const std::string& text, CalendarDay& day) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    auto number = [&](std::size_t at, std::size_t length, int& value) {
        for (std::size_t i = at; i < at + length; ++i)
            if (text[i] < '0' || text[i] > '9') return false;
        return std::from_chars(text.data() + at, text.data() + at + length, value).ec == std::errc();
    };
    if (!number(0, 4, day.year) || !number(5, 2, day.month) || !number(8, 2, day.day)) return false;
    static const int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (day.month < 1 || day.month > 12 || day.day < 1) return false;
    const bool leap = (day.year % 4 == 0 && day.year % 100 != 0) || day.year % 400 == 0;
    return day.day <= kDaysInMonth[day.month - 1] + (day.month == 2 && leap ? 1 : 0);
}

class FilterClient : public VideoLibraryClient {
public:
    explicit FilterClient(PlaylistFilter filter) : filter_(filter) {}
    PlaylistFilter playlistFilter() override { return filter_; }

private:
    PlaylistFilter filter_;
};

}  // namespace

void addPlaylistOptions(CLI::App& command, PlaylistOptions& options) {
    command.add_option("--day", options.day, "Keep only recordings of this local day (YYYY-MM-DD); default: all dates")
        ->check(CLI::Validator(
            [](std::string& text) {
                CalendarDay day;
                return parseDay(text, day) ? std::string() : "not a day in the form YYYY-MM-DD: " + text;
            },
            "YYYY-MM-DD", "day"));
    command.add_flag("--normal", options.normal, "Normal box: normal and parking recordings");
    command.add_flag("--event", options.event, "Event box: event recordings");
    command.add_flag("--parking", options.parking,
                     "Parking box; on its own it keeps nothing, since parking recordings count as normal");
}

PlaylistFilter pmPlaylistFilterOf(const PlaylistOptions& options) {
    PlaylistFilter filter;
    if (options.normal || options.event || options.parking) {
        filter.showNormal = options.normal;
        filter.showEvent = options.event;
        filter.showParking = options.parking;
    }
    filter.allFile = options.day.empty();
    if (!filter.allFile) parseDay(options.day, filter.selectedDay);
    return filter;
}

VideoLibrary pmScanPlaylist(const std::string& folder, const PlaylistFilter& filter) {
    FilterClient client(filter);
    VideoLibrary library;
    library.buildVideoLibrary(folder, client);
    return library;
}
