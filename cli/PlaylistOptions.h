#pragma once
#include "library/VideoLibrary.h"

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

// The day and type options that choose a card's playlist the way the window's calendar and check
// boxes do; shared by the commands that read a card.
struct PlaylistOptions {
    std::string day;
    bool normal = false;
    bool event = false;
    bool parking = false;
};

// Adds --day, --normal, --event and --parking to a command.
void addPlaylistOptions(CLI::App& command, PlaylistOptions& options);
// The filter the window's boxes would give: all three on, unless some are named, then only those.
PlaylistFilter pmPlaylistFilterOf(const PlaylistOptions& options);
// Scans the folder and returns its playlist.
VideoLibrary pmScanPlaylist(const std::string& folder, const PlaylistFilter& filter);
