#include "ViewTestSupport.h"
#include "library/AMediaFile.h"
#include "support/QtWait.h"
#include "views/FileListBox.h"
#include "views/RecordingListWidget.h"
#include "views/SkinnedCheckBox.h"

#include <QTest>

namespace {

std::vector<AMediaFile> playlist(const std::vector<std::string>& names) {
    std::vector<AMediaFile> entries;
    long long when = 1714723200;
    for (const auto& name : names)
        entries.push_back(AMediaFile::mediaFileWithURLDate("/card/DCIM/" + name, pmFileDateFromUnix(when += 61)));
    return entries;
}

std::vector<AMediaFile> numbered(int count) {
    std::vector<std::string> names;
    for (int i = 1; i <= count; ++i) names.push_back(QString::asprintf("FILE%04d.MP4", i).toStdString());
    return playlist(names);
}

struct List : ViewTest {
    // Room for exactly `slots` rows under the header.
    void showSlots(int count) { showAt(list, 291, RecordingListWidget::kHeaderHeight + count * box().rowHeight()); }
    FileListBox& box() { return list.list(); }
    // The centre of a row's slot, in the list box.
    QPoint rowAt(int row) { return box().slotRect(row - box().firstVisible()).center(); }
    // What a person's double click delivers: a click, then the second press as a double click.
    void doubleClick(QPoint at) {
        QTest::mouseClick(&box(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(&box(), Qt::LeftButton, {}, at);
    }
    // A box of a row's slot, x from the slot's left edge, in a screenshot of the list box.
    QImage inSlot(const QImage& shot, int slot, int x, int width) {
        const QRect r = box().slotRect(slot);
        return shot.copy(r.left() + x, r.top(), width, r.height());
    }
    RecordingListWidget list{notifications};
};

}  // namespace

TEST_F(List, DoubleClickPostsTheRowAndPutsThePlayMarkOnItEventRecordingsCarryTheirIcon) {
    showSlots(8);
    list.buildFileList(playlist({"FILE0001.MP4", "EMER0002.MP4", "PARK0003.MP4", "EVEN0004.AVI", "FILE0005.MOV",
                                 "FILE0006.MP4", "FILE0007.MP4", "FILE0008.MP4"}));
    EXPECT_EQ(list.getCurSel(), 0);  // a fresh list starts on its first row
    doubleClick(rowAt(3));
    QTest::mouseClick(&box(), Qt::LeftButton, {}, rowAt(7));  // selects without playing
    EXPECT_EQ(objectsNamed(notify::kFileListViewDoubleClick), (std::vector<long>{3}));
    EXPECT_EQ(std::pair(list.getCurSel(), list.playMarkRow()), std::pair(7, 3));

    // Per row, against the bare stripe of an unmarked row in a slot of the same stripe: the play
    // mark (at x 2) and the event icon (at x 28).
    const QImage shot = shoot(box(), "recording-list-marks");
    QString marks;
    for (int slot = 0; slot < 4; ++slot) {
        const int bare = slot % 2 == 0 ? 4 : 5;
        marks += QString(inSlot(shot, slot, 2, 22) != inSlot(shot, bare, 2, 22) ? ">" : ".") +
                 (inSlot(shot, slot, 28, 24) != inSlot(shot, bare, 28, 24) ? "!" : ".") + " ";
    }
    EXPECT_EQ(marks, ".. .! .. >! ");
}

TEST_F(List, TheControllersSelectionScrollsDownToItsRowButNeverUpAndStripesStayWithTheSlots) {
    showSlots(5);
    list.buildFileList(numbered(30));
    const QImage top = shoot(box(), "recording-list-top");
    // Row asked for, with the mark or not; then the first visible row, the selected and the marked.
    const struct {
        int row;
        bool mark;
        int first, selected, marked;
    } steps[] = {
        {4, true, 0, 4, 4},    // the last visible row: no scrolling
        {7, false, 3, 7, 4},   // below: just far enough to show it at the bottom
        {2, true, 3, 2, 2},    // above the first visible row: selected where it is
        {29, false, 25, 29, 2},
        {30, true, 25, 29, 2},  // not a row: ignored
        {-1, true, 25, 29, 2},
    };
    for (const auto& s : steps) {
        list.setCurSel(s.row, s.mark);
        EXPECT_EQ(std::tuple(box().firstVisible(), list.getCurSel(), list.playMarkRow()),
                  std::tuple(s.first, s.selected, s.marked))
            << "row " << s.row;
    }
    // Each slot keeps its stripe, whichever row it shows (slot 0 was selected at the top).
    const QImage scrolled = shoot(box(), "recording-list-scrolled");
    EXPECT_TRUE(inSlot(scrolled, 2, 0, 2) == inSlot(top, 2, 0, 2)) << "slot 2 changed its stripe";
    EXPECT_TRUE(inSlot(scrolled, 2, 0, 2) != inSlot(scrolled, 3, 0, 2)) << "no stripes";

    list.buildFileList(numbered(1));
    EXPECT_EQ(std::tuple(box().firstVisible(), list.getCurSel(), list.playMarkRow()), std::tuple(0, 0, -1));
    list.buildFileList({});
    list.setCurSel(0, true);
    EXPECT_EQ(std::pair(list.getCurSel(), list.playMarkRow()), std::pair(-1, -1));
    EXPECT_TRUE(posted.empty());
}

TEST_F(List, TheScrollBarStepsPagesAndDragsWithinTheRowsAndRepeatsWhileAnArrowIsHeld) {
    showSlots(5);
    const ListScrollBar& bar = box().scrollBar();
    const int right = box().width() - 3;
    const QPoint up(right, 3), down(right, box().height() - 3);
    auto press = [&](QPoint at) { QTest::mouseClick(&box(), Qt::LeftButton, {}, at); };
    auto below = [&] { return QPoint(right, bar.thumbRect().bottom() + 4); };

    // Exactly full: nothing scrolls. One row more: one step is the thumb's whole travel.
    list.buildFileList(numbered(5));
    press(down);
    EXPECT_FALSE(bar.isScrollEnabled());
    list.buildFileList(numbered(6));
    press(down);
    EXPECT_EQ(box().firstVisible(), 1);
    EXPECT_EQ(bar.hit(QPoint(right, bar.thumbRect().bottom() + 1)), ListScrollBar::kDown);

    // Page down to the last page and once more; up steps a row.
    list.buildFileList(numbered(30));
    const int pages[] = {5, 10, 15, 20, 25, 25};
    for (int first : pages) {
        press(below());
        EXPECT_EQ(box().firstVisible(), first);
    }
    press(up);
    EXPECT_EQ(box().firstVisible(), 24);

    // Held, the up arrow repeats.
    QTest::mousePress(&box(), Qt::LeftButton, {}, up);
    EXPECT_TRUE(spinUntil([&] { return box().firstVisible() <= 21; }, 10.0));
    QTest::mouseRelease(&box(), Qt::LeftButton, {}, up);

    // Dragging the thumb to the top and past the bottom reaches the first and the last page.
    QTest::mousePress(&box(), Qt::LeftButton, {}, bar.thumbRect().center());
    QTest::mouseMove(&box(), QPoint(right, 0));
    EXPECT_EQ(box().firstVisible(), 0);
    QTest::mouseMove(&box(), QPoint(right, box().height() + 50));
    EXPECT_EQ(box().firstVisible(), 25);
    QTest::mouseRelease(&box(), Qt::LeftButton, {}, QPoint(right, box().height() + 50));
    shoot(box(), "recording-list-scrolled-to-the-end");
    store.values["SKIN_ID"] = 1;
    list.loadSkinBitmap();
    shoot(box(), "recording-list-scrolled-to-the-end-skin-2");
}

TEST_F(List, FiltersChangedByTheUserAskForANewPlaylist) {
    for (CheckBox* box : {&list.eventCheckBox(), &list.normalCheckBox(), &list.eventCheckBox()})
        QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(std::pair(list.isShowEventFile(), list.isShowNormalFile()), std::pair(true, false));
    EXPECT_EQ(postedNamed(notify::kFileListViewCheckBox).size(), 3u);
}
