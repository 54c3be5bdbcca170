#include "ViewTestSupport.h"
#include "Utility/Skin.h"
#include "views/SkinImages.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>

#include <set>

namespace {

// Every image the window asks for, by family: buttons with four looks (normal, "_d", "_f", "_g"),
// buttons whose normal image also serves as disabled, and single images.
const char* const kFourStates[] = {
    "button_open", "button_print", "button_backup", "button_capture", "button_settings", "button_window_switch",
    "button_export", "button_youtube", "button_facebook", "button_evidence", "button_previous", "button_next",
    "button_play", "button_pause", "button_play_previous", "button_playback1", "button_playback1.5",
    "button_playback2", "button_playback", "button_playback1-2", "icon_volume_on", "icon_volume_off", "button_full",
    "button_full1", "button_full_map", "button_full1_map", "button_calendar_back", "button_calendar_next",
    "button_calendar", "button_enter", "button_bar_up", "button_bar_down", "slider", "calendar_checkbox",
    "calendar_uncheckbox"};
const char* const kThreeStates[] = {"km_map", "km_gps", "gps_link", "button_google_map", "button_print_camera1",
                                    "button_print_camera2", "button_print_camera12"};
const char* const kSingles[] = {
    "G-Sensor Screen_bg.png", "G-Sensor Screen_default.png", "G-Sensor Screen_default_d.png",
    "G-Sensor Screen_disable.png", "GSensorGraphic.png", "arrow_x1.png", "arrow_x2.png", "arrow_y1.png",
    "arrow_y2.png", "arrow_z1.png", "arrow_z2.png", "bg_calendar_title.png", "bg_map.png", "bg_map_info.bmp",
    "calendar_background.png", "calendar_list_bg_1.png", "calendar_list_bg_2.png", "calendar_list_d.png",
    "calendar_pic_d.png", "enter_calendar.png", "gps_panel_bg.png", "icon_calendar_black.png",
    "icon_calendar_white.png", "icon_event.png", "icon_logo.png", "icon_m1.png", "icon_parking.png", "icon_play.png",
    "list_bg_1.png", "list_bg_2.png", "list_d.png", "map_disable.png", "map_no_gps.png", "playbar_background.png",
    "scrollbar_background.png", "toolbar_background.png", "track_bar_bg.png", "track_bar_full.png", "volume_bg.png",
    "volume_button.png", "volume_full.png"};

std::vector<QString> everyImageName() {
    std::vector<QString> names;
    for (const char* stem : kFourStates)
        for (const char* suffix : {"", "_d", "_f", "_g"}) names.push_back(QString(stem) + suffix + ".png");
    for (const char* stem : kThreeStates)
        for (const char* suffix : {"", "_d", "_f"}) names.push_back(QString(stem) + suffix + ".png");
    for (const char* name : kSingles) names.push_back(name);
    for (int digit = 0; digit <= 9; ++digit) names.push_back(QString("ovl_speedno_%1.png").arg(digit));
    return names;
}

void useSkin(MemoryPreferences& store, int skin) { store.values["SKIN_ID"] = skin; }

// All of a skin's images on one sheet, each on a checked tile with its name, for people to look at.
void saveContactSheet(int skin, const std::vector<QString>& names) {
    const int width = 1500, gap = 10, label = 12;
    QImage sheet(width, 2400, QImage::Format_RGB32);
    sheet.fill(QColor(0x808488));
    QPainter p(&sheet);
    QFont font("Nimbus Sans");
    font.setPixelSize(9);
    p.setFont(font);
    int x = gap, y = gap, rowHeight = 0;
    for (const QString& name : names) {
        const QPixmap image = pmLoadImage(name);
        const int cell = std::max(image.width(), 70);
        if (x + cell > width - gap) x = gap, y += rowHeight + label + gap, rowHeight = 0;
        p.fillRect(QRect(x, y, image.width(), image.height()), QBrush(QColor(0x9A9EA3), Qt::Dense4Pattern));
        p.drawPixmap(x, y, image);
        p.setPen(Qt::black);
        p.drawText(QRect(x, y + image.height() + 1, cell, label), Qt::AlignLeft, name.chopped(4));
        x += cell + gap;
        rowHeight = std::max(rowHeight, image.height());
    }
    p.end();
    sheet = sheet.copy(0, 0, width, y + rowHeight + label + gap);
    const QString folder = QString(CARTENA_BUILD_DIR) + "/screenshots";
    QDir().mkpath(folder);
    sheet.save(folder + QString("/skin-%1-contact-sheet.png").arg(skin + 1));
}

}  // namespace

TEST_F(ViewTest, SkinArtworkEverySkinHasEveryImageTheWindowAsksFor) {
    const std::vector<QString> names = everyImageName();
    ASSERT_EQ(std::set<QString>(names.begin(), names.end()).size(), names.size()) << "a name is listed twice";
    for (int skin = 0; skin < kSkinCount; ++skin) {
        useSkin(store, skin);
        QStringList missing;
        for (const QString& name : names)
            if (pmLoadImage(name).isNull()) missing << name;
        EXPECT_TRUE(missing.isEmpty()) << "skin " << skin << " misses " << missing.join(", ").toStdString();
        saveContactSheet(skin, names);
    }
}

TEST_F(ViewTest, SkinArtworkImagesHaveTheSizesTheLayoutsAreBuiltOn) {
    const struct {
        const char* name;
        QSize size;
    } fixed[] = {{"calendar_background.png", {291, 240}}, {"bg_calendar_title.png", {291, 31}},
                 {"enter_calendar.png", {67, 27}},        {"calendar_pic_d.png", {41, 31}},
                 {"button_calendar_back.png", {30, 30}},  {"button_calendar.png", {85, 30}},
                 {"button_open.png", {45, 30}},           {"button_settings.png", {45, 45}},
                 {"button_youtube.png", {60, 30}},        {"button_facebook.png", {90, 30}},
                 {"km_gps.png", {70, 25}},                {"km_map.png", {40, 20}},
                 {"button_full_map.png", {30, 20}},       {"gps_link.png", {40, 40}},
                 {"button_print_camera12.png", {76, 35}}, {"GSensorGraphic.png", {238, 63}}};
    for (int skin = 0; skin < kSkinCount; ++skin) {
        useSkin(store, skin);
        for (const auto& f : fixed) EXPECT_EQ(pmLoadImage(f.name).size(), f.size) << f.name << " skin " << skin;
        // The drop-down is 67 wide with its scroll bar, in rows of 18; the recording rows fill the
        // 291-pixel column beside the same scroll bar.
        const int scrollBar = pmLoadImage("button_bar_up.png").width();
        EXPECT_EQ(pmLoadImage("calendar_list_bg_1.png").size(), QSize(67 - scrollBar, 18)) << skin;
        EXPECT_EQ(pmLoadImage("list_bg_1.png").width(), 291 - scrollBar) << skin;
        EXPECT_EQ(pmLoadImage("list_d.png").size(), pmLoadImage("list_bg_2.png").size()) << skin;
        // The settings button hangs 45 pixels from the top: the strip is at least that high.
        EXPECT_GE(pmLoadImage("toolbar_background.png").height(), 45) << skin;
        const QSize graph = pmLoadImage("G-Sensor Screen_bg.png").size();
        EXPECT_TRUE(graph.width() >= 327 && graph.height() >= 210) << skin;
        for (const char* picture : {"G-Sensor Screen_default.png", "G-Sensor Screen_default_d.png",
                                    "G-Sensor Screen_disable.png"})
            EXPECT_EQ(pmLoadImage(picture).size(), graph) << picture << " skin " << skin;
    }
}

TEST_F(ViewTest, SkinArtworkArrowCentresGiveThreeOpaqueDistinctAxisColours) {
    for (int skin = 0; skin < kSkinCount; ++skin) {
        useSkin(store, skin);
        std::set<QRgb> colours;
        for (const char* arrow : {"arrow_x1.png", "arrow_y1.png", "arrow_z1.png"}) {
            const QImage image = pmLoadImage(arrow).toImage();
            const QColor centre = image.pixelColor(image.width() / 2, image.height() / 2);
            EXPECT_EQ(centre.alpha(), 255) << arrow << " skin " << skin;
            colours.insert(centre.rgb());
        }
        EXPECT_EQ(colours.size(), 3u) << skin;
    }
}
