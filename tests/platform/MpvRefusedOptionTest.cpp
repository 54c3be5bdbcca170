#include "platform/MpvMoviePlayer.h"

#include "Utility/DiagnosticLog.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

// An option libmpv refuses is named in the diagnostic log with mpv's reason; the player starts
// without it.
TEST(MpvRefusedOption, IsLoggedWithMpvsReason) {
    TempHome home;
    const MpvMoviePlayer player(MpvMoviePlayer::Options{.videoOutput = ","});
    EXPECT_TRUE(player.isValid()) << player.loadError().description;
    const std::string log = readFile(pmLogFilePath());
    EXPECT_NE(log.find("MpvMoviePlayer - option vo=, refused: error setting option\n"), std::string::npos) << log;
}
