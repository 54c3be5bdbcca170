#include "ViewTestSupport.h"
#include "library/AMediaFile.h"
#include "views/RecordingListWidget.h"
#include "views/SkinnedCheckBox.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QListWidget>
#include <QTest>

namespace {

std::vector<AMediaFile> playlist(const std::vector<std::string>& names) {
    std::vector<AMediaFile> entries;
    long long when = 1714723200;  // 2024-05-03 10:00 in the tests' zone
    for (const auto& name : names) {
        entries.push_back(AMediaFile::mediaFileWithURLDate("/card/DCIM/" + name, pmFileDateFromUnix(when)));
        when += 61;
    }
    return entries;
}

struct ShownList {
    explicit ShownList(NotificationCenter& notifications) : list(notifications) {
        list.resize(291, 420);
        list.show();
        QApplication::processEvents();
    }
    QPoint rowCentre(int row) { return list.list().visualItemRect(list.list().item(row)).center(); }
    // What a person's double click delivers: a click, then the second press as a double click.
    void doubleClick(QPoint at) {
        QTest::mouseClick(list.list().viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list.list().viewport(), Qt::LeftButton, {}, at);
    }
    RecordingListWidget list;
};

bool reddish(QColor c) { return c.red() > 170 && c.green() < 110 && c.blue() < 110; }

}  // namespace

TEST(RecordingListWidget, RowsShowTheirNameAndMarkEventRecordings) {
    ViewTest t;
    ShownList shown(t.notifications);
    RecordingListWidget& list = shown.list;
    EXPECT_EQ(list.getCurSel(), -1);  // nothing to select yet

    list.buildFileList(playlist({"FILE0001.MP4", "EMER0002.MP4", "PARK0003.MP4", "EVEN0004.AVI", "FILE0005.MOV",
                                 "FILE0006.MP4", "FILE0007.MP4", "EMER0008.MP4", "FILE0009.MP4", "FILE0010.MP4"}));
    EXPECT_EQ(list.rowCount(), 10);
    EXPECT_EQ(list.getCurSel(), 0);  // a fresh list starts on its first row
    EXPECT_EQ(list.playMarkRow(), -1);
    list.setCurSel(2, false);
    QApplication::processEvents();

    const QImage image = ViewTest::shoot(list, "recording-list");
    ASSERT_FALSE(image.isNull());
    const QPoint origin = list.list().viewport()->mapTo(&list, QPoint(0, 0));
    auto badgePixel = [&](int row) {
        const QRect r = list.list().visualItemRect(list.list().item(row));
        return image.pixelColor(origin + QPoint(r.left() + 35, r.center().y() + 5));
    };
    const bool events[] = {false, true, false, true, false, false, false, true, false};
    for (int row = 0; row < 9; ++row) EXPECT_EQ(reddish(badgePixel(row)), events[row]) << "row " << row;

    // Parking recordings are normal ones: always shown, no filter of their own.
    EXPECT_TRUE(list.isShowParkingFile());
}

TEST(RecordingListWidget, DoubleClickPostsTheRowAndPutsThePlayMarkOnIt) {
    ViewTest t;
    ShownList shown(t.notifications);
    RecordingListWidget& list = shown.list;
    list.buildFileList(playlist({"FILE0001.MP4", "FILE0002.MP4", "EMER0003.MP4"}));

    shown.doubleClick(shown.rowCentre(2));
    EXPECT_EQ(t.objectsNamed(notify::kFileListViewDoubleClick), (std::vector<long>{2}));
    EXPECT_EQ(list.playMarkRow(), 2);
    EXPECT_EQ(list.getCurSel(), 2);
    // A single click selects without playing.
    QTest::mouseClick(list.list().viewport(), Qt::LeftButton, {}, shown.rowCentre(0));
    EXPECT_EQ(list.getCurSel(), 0);
    EXPECT_EQ(t.objectsNamed(notify::kFileListViewDoubleClick).size(), 1u);
    // A double click below the last row plays nothing and keeps the selection.
    shown.doubleClick(QPoint(100, 300));
    EXPECT_EQ(t.objectsNamed(notify::kFileListViewDoubleClick).size(), 1u);
    EXPECT_EQ(list.getCurSel(), 0);

    const QImage image = ViewTest::shoot(list, "recording-list-playing");
    const QRect r = list.list().visualItemRect(list.list().item(2));
    const QPoint origin = list.list().viewport()->mapTo(&list, QPoint(0, 0));
    const QColor mark = image.pixelColor(origin + QPoint(r.left() + 4, r.center().y()));
    EXPECT_GT(mark.blue(), mark.red() + 60) << "the play mark in the skin's accent";
    const QRect other = list.list().visualItemRect(list.list().item(1));
    EXPECT_NE(image.pixelColor(origin + QPoint(other.left() + 4, other.center().y())), mark);
}

TEST(RecordingListWidget, SelectionAndPlayMarkFromTheController) {
    ViewTest t;
    ShownList shown(t.notifications);
    RecordingListWidget& list = shown.list;
    list.buildFileList(playlist({"FILE0001.MP4", "FILE0002.MP4", "FILE0003.MP4"}));

    list.setCurSel(2, true);
    EXPECT_EQ(list.getCurSel(), 2);
    EXPECT_EQ(list.playMarkRow(), 2);
    list.setCurSel(1, false);  // selects, the mark stays where it was
    EXPECT_EQ(list.getCurSel(), 1);
    EXPECT_EQ(list.playMarkRow(), 2);
    list.setCurSel(3, true);  // no such row
    list.setCurSel(-1, true);
    EXPECT_EQ(list.getCurSel(), 1);
    EXPECT_EQ(list.playMarkRow(), 2);
    list.showPlayMark(0);
    EXPECT_EQ(list.playMarkRow(), 0);
    // A rebuild clears the mark.
    list.buildFileList(playlist({"FILE0004.MP4"}));
    EXPECT_EQ(list.playMarkRow(), -1);
    list.buildFileList({});
    EXPECT_EQ(list.getCurSel(), -1);
    list.setCurSel(0, true);
    EXPECT_EQ(list.playMarkRow(), -1);
    EXPECT_TRUE(t.posted.empty());
}

TEST(RecordingListWidget, FiltersChangedByTheUserAskForANewPlaylist) {
    ViewTest t;
    ShownList shown(t.notifications);
    RecordingListWidget& list = shown.list;
    EXPECT_TRUE(list.isShowNormalFile());
    EXPECT_TRUE(list.isShowEventFile());

    QTest::mouseClick(&list.eventCheckBox(), Qt::LeftButton);
    EXPECT_FALSE(list.isShowEventFile());
    EXPECT_TRUE(list.isShowNormalFile());
    EXPECT_EQ(t.postedNamed(notify::kFileListViewCheckBox).size(), 1u);
    QTest::mouseClick(&list.normalCheckBox(), Qt::LeftButton);
    QTest::mouseClick(&list.eventCheckBox(), Qt::LeftButton);
    EXPECT_FALSE(list.isShowNormalFile());
    EXPECT_TRUE(list.isShowEventFile());
    EXPECT_EQ(t.postedNamed(notify::kFileListViewCheckBox).size(), 3u);
    EXPECT_EQ(list.eventCheckBox().title(), "Event");
    EXPECT_EQ(list.normalCheckBox().title(), "Normal");
}
