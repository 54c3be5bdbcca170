#include "ViewTestSupport.h"
#include "library/AMediaFile.h"
#include "views/RecordingListWidget.h"
#include "views/SkinImages.h"
#include "views/SkinnedCheckBox.h"

#include <QListWidget>
#include <QTest>

namespace {

std::vector<AMediaFile> playlist(const std::vector<std::string>& names) {
    std::vector<AMediaFile> entries;
    long long when = 1714723200;
    for (const auto& name : names)
        entries.push_back(AMediaFile::mediaFileWithURLDate("/card/DCIM/" + name, pmFileDateFromUnix(when += 61)));
    return entries;
}

struct List : ViewTest {
    List() { showAt(list, 291, 420); }
    QRect row(int index) { return list.list().visualItemRect(list.list().item(index)); }
    // What a person's double click delivers: a click, then the second press as a double click.
    void doubleClick(QPoint at) {
        QTest::mouseClick(list.list().viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list.list().viewport(), Qt::LeftButton, {}, at);
    }
    // The colour at x in the middle of a row, in a screenshot of the whole panel.
    QColor inRow(const QImage& shot, int index, int x) {
        const QRect r = row(index);
        return shot.pixelColor(list.list().viewport()->mapTo(&list, QPoint(r.left() + x, r.center().y())));
    }
    RecordingListWidget list{notifications};
};

// The skin's play mark and event icon, at the points probed in the rows (their left edges at 2 and 28).
QColor skinPixel(const char* image, QPoint at) { return pmLoadImage(image).toImage().pixelColor(at); }

bool near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) < 100;
}

}  // namespace

TEST_F(List, DoubleClickPostsTheRowAndPutsThePlayMarkOnItEventRecordingsCarryTheirMark) {
    list.buildFileList(playlist({"FILE0001.MP4", "EMER0002.MP4", "PARK0003.MP4", "EVEN0004.AVI", "FILE0005.MOV"}));
    EXPECT_EQ(list.getCurSel(), 0);  // a fresh list starts on its first row
    doubleClick(row(2).center());
    EXPECT_EQ(objectsNamed(notify::kFileListViewDoubleClick), (std::vector<long>{2}));
    EXPECT_EQ(list.getCurSel(), 2);
    // A single click selects without playing; a double click below the last row does nothing.
    QTest::mouseClick(list.list().viewport(), Qt::LeftButton, {}, row(0).center());
    doubleClick(QPoint(100, row(4).bottom() + 40));
    EXPECT_EQ(list.getCurSel(), 0);
    EXPECT_EQ(objectsNamed(notify::kFileListViewDoubleClick).size(), 1u);

    // Per row: the play mark (">") and the event mark ("!").
    const QImage shot = shoot(list, "recording-list");
    const QColor play = skinPixel("icon_play.png", {2, 8}), event = skinPixel("icon_event.png", {7, 11});
    QString marks;
    for (int index = 0; index < 5; ++index)
        marks += QString(near(inRow(shot, index, 4), play) ? ">" : ".") + (near(inRow(shot, index, 35), event) ? "!" : ".") + " ";
    EXPECT_EQ(marks, ".. .! >. .! .. ");
}

TEST_F(List, ControllerMovesSelectionAndMarkWithinTheRowsAndARebuildClearsTheMark) {
    list.buildFileList(playlist({"FILE0001.MP4", "FILE0002.MP4", "FILE0003.MP4"}));
    // Row asked for, with the mark or not, then the selected row and the marked one after it.
    const int steps[][4] = {{2, true, 2, 2}, {1, false, 1, 2}, {3, true, 1, 2}, {-1, true, 1, 2}};
    for (const auto& s : steps) {
        list.setCurSel(s[0], s[1] != 0);
        EXPECT_EQ(std::pair(list.getCurSel(), list.playMarkRow()), std::pair(s[2], s[3])) << "row " << s[0];
    }
    list.buildFileList(playlist({"FILE0004.MP4"}));
    EXPECT_EQ(list.playMarkRow(), -1);
    list.buildFileList({});
    list.setCurSel(0, true);
    EXPECT_EQ(std::pair(list.getCurSel(), list.playMarkRow()), std::pair(-1, -1));
    EXPECT_TRUE(posted.empty());
}

TEST_F(List, FiltersChangedByTheUserAskForANewPlaylist) {
    QTest::mouseClick(&list.eventCheckBox(), Qt::LeftButton);
    EXPECT_FALSE(list.isShowEventFile());
    EXPECT_TRUE(list.isShowNormalFile());
    QTest::mouseClick(&list.normalCheckBox(), Qt::LeftButton);
    QTest::mouseClick(&list.eventCheckBox(), Qt::LeftButton);
    EXPECT_FALSE(list.isShowNormalFile());
    EXPECT_TRUE(list.isShowEventFile());
    EXPECT_EQ(postedNamed(notify::kFileListViewCheckBox).size(), 3u);
}
