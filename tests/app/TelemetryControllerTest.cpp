#include "ControllerFixture.h"

#include <cstdio>

namespace {

// One NMEA sentence with its checksum.
std::string sentence(const std::string& body) {
    unsigned char sum = 0;
    for (char c : body) sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X", sum);
    return "$" + body + tail + "\r\n";
}

std::string rmc(int second, const char* latitude, const char* longitude, const char* knots) {
    char body[160];
    std::snprintf(body, sizeof body, "GPRMC,0800%02d.000,A,%s,N,%s,E,%s,90.0,141126,,,A", second, latitude,
                  longitude, knots);
    return sentence(body);
}

}  // namespace

class TelemetryControllerTest : public ControllerTest {
protected:
    void SetUp() override {
        addRecording("FILE0001.MP4", 0);
        const std::string event = addRecording("EVEN0002.MP4", 1);
        // Four seconds of a drive east; the peak is 0.9996 g at second 1 (larger than |-0.6|).
        const std::string log = rmc(0, "2503.0000", "12130.0000", "10.0") + "$GSENSORD,0.100,-0.200,0.300\r\n" +
                                rmc(1, "2503.0010", "12130.0020", "10.8") + "$GSENSORD,0.9996,-0.0004,0.0004\r\n" +
                                rmc(2, "2503.0020", "12130.0040", "12.0") + "$GSENSORD,0.2,0.1,0.1\r\n" +
                                rmc(3, "2503.0030", "12130.0060", "8.0") + "$GSENSORD,-0.6,0.1,0.1\r\n";
        ASSERT_TRUE(writeFile(event.substr(0, event.size() - 4) + ".log", log));
        start();
    }
};

TEST_F(TelemetryControllerTest, AnEventRecordingGetsItsTrackPeakMarkAndCurves) {
    openAndPlay(1, 4.0);
    EXPECT_EQ(app->gpsList().GetDataCount(), 4);
    EXPECT_EQ(app->eventTime(), 1);
    EXPECT_EQ(views.eventMark, 1);
    EXPECT_TRUE(views.graphicShown);
    EXPECT_FLOAT_EQ(static_cast<float>(views.graphicRange), 0.9996f);  // the larger of |max| and |min|
    EXPECT_EQ(app->sensorGraphic().eventX, 59);  // 1 x 238 / 4, cut
    EXPECT_TRUE(views.toolbarEnabled[ToolbarView::Export]);
    EXPECT_EQ(views.mapState, 0);  // positions, but the map page is not on line
    EXPECT_TRUE(views.pathDrawn);
    EXPECT_EQ(app->motorType(), 1);
}

TEST_F(TelemetryControllerTest, EachTickShowsTheSampleOfTheWholeSecond) {
    openAndPlay(1, 4.0);
    player1.setTimeByItself(1.9);
    clock.advance(0.5);
    ASSERT_EQ(views.position.size(), 5u);
    EXPECT_NEAR(views.position[0], 25.0 + 3.001 / 60, 1e-5);
    EXPECT_FLOAT_EQ(views.position[2], app->gpsList().GetGpsData(1)->fSpeed());
    EXPECT_NE(views.position[2], app->gpsList().GetGpsData(2)->fSpeed());
    EXPECT_EQ(views.indicator, (std::vector<int>{2, 1000, 0, 0}));  // 0.9996, -0.0004, 0.0004

    player1.setTimeByItself(7.0);  // beyond the last sample: the zero sample
    clock.advance(0.5);
    EXPECT_EQ(views.position, (std::vector<float>{0, 0, 0, 0, 0}));
    EXPECT_EQ(views.indicator[1], 0);
}

TEST_F(TelemetryControllerTest, ARecordingWithoutTelemetryShowsNoneAndTheNextOneClearsTheMark) {
    openAndPlay(1, 4.0);
    views.doubleClickRow(0);
    player1.load(10.0);
    EXPECT_EQ(app->gpsList().GetDataCount(), 0);
    EXPECT_EQ(app->eventTime(), -1);
    EXPECT_EQ(views.eventMark, -1);
    EXPECT_EQ(views.mapState, -1);
    EXPECT_FALSE(views.pathDrawn);
    EXPECT_FALSE(views.graphicShown && app->sensorGraphic().present);
    EXPECT_FALSE(views.toolbarEnabled[ToolbarView::Export]);
    EXPECT_EQ(views.position, (std::vector<float>{0, 0, 0, 0, -1}));
}

TEST_F(TelemetryControllerTest, ARecordingShorterThanASecondDisablesTheSlider) {
    views.doubleClickRow(0);
    player1.load(0.6);
    EXPECT_FALSE(views.sliderEnabled);
    EXPECT_EQ(views.sliderMax, 1);
}
