#include "ViewTestSupport.h"
#include "views/ComboBox.h"
#include "views/ListBox.h"
#include "views/SkinImages.h"
#include "views/SkinnedButtons.h"
#include "views/SkinnedCheckBox.h"

#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QTest>

namespace {

QImage imageOf(const QString& name) { return pmLoadImage(name).toImage(); }
QImage shown(const SkinnedButton& button) { return button.shownPixmap().toImage(); }

void pointerEnters(QWidget& widget) {
    QEnterEvent enter(QPointF(2, 2), widget.mapToGlobal(QPointF(2, 2)), widget.mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(&widget, &enter);
}

void pointerLeaves(QWidget& widget) {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&widget, &leave);
}

}  // namespace

TEST_F(ViewTest, SkinnedControlsButtonShowsTheImageOfItsStateAndDisabledWinsUnderThePointer) {
    BitmapButton button;
    button.setBitmapButton(SkinnedButton::family("button_next"));
    button.resize(32, 32);
    int clicks = 0;
    QObject::connect(&button, &BitmapButton::clicked, [&] { ++clicks; });

    EXPECT_EQ(shown(button), imageOf("button_next.png"));
    pointerEnters(button);
    EXPECT_EQ(shown(button), imageOf("button_next_f.png"));
    QTest::mousePress(&button, Qt::LeftButton);
    EXPECT_EQ(shown(button), imageOf("button_next_d.png"));
    QTest::mouseRelease(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    button.setEnabled(false);
    EXPECT_EQ(shown(button), imageOf("button_next_g.png")) << "disabled, with the pointer over it";
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);

    button.setEnabled(true);
    pointerLeaves(button);
    button.checkButton(true);
    EXPECT_EQ(shown(button), imageOf("button_next_d.png")) << "checked: the pressed image is its normal look";
    button.setButtonFlipped(true);
    EXPECT_EQ(shown(button), imageOf("button_next_d.png").mirrored(true, false));
}

TEST_F(ViewTest, SkinnedControlsMultiButtonsCycleThroughAtMostFiveLooksWithTheirToolTips) {
    MultiButtons button;
    const char* speeds[] = {"button_playback1", "button_playback1.5", "button_playback2", "button_playback",
                            "button_playback1-2", "button_play"};
    button.addBitmapButton("one", SkinnedButton::family(speeds[0]));
    button.changeButtonIndex();
    button.setButtonIndex(0);
    EXPECT_EQ(button.getCurButtonIndex(), 0) << "one look: nothing to change to";
    for (int look = 1; look < 6; ++look) button.addBitmapButton(QString::number(look), SkinnedButton::family(speeds[look]));
    EXPECT_EQ(button.buttonCount(), 5) << "a sixth look is ignored";

    std::vector<int> cycle;
    for (int press = 0; press < 5; ++press) {
        button.changeButtonIndex();
        cycle.push_back(button.getCurButtonIndex());
    }
    EXPECT_EQ(cycle, (std::vector<int>{1, 2, 3, 4, 0}));
    button.setButtonIndex(3);
    EXPECT_EQ(button.toolTip(), "3");
    EXPECT_EQ(shown(button), imageOf("button_playback.png"));
    button.setButtonIndex(5);
    EXPECT_EQ(button.getCurButtonIndex(), 3) << "no such look";

    button.changeToolTips({QString(), "B", QString(), "D"});
    EXPECT_EQ(button.toolTip(), "D");
    EXPECT_EQ(button.toolTipOfLook(0), "one");
    EXPECT_EQ(button.toolTipOfLook(1), "B");
    button.resetButtonState();
    EXPECT_EQ(button.getCurButtonIndex(), 0);
    EXPECT_EQ(button.toolTip(), "one");
}

TEST_F(ViewTest, SkinnedControlsCheckBoxPostsItsNewStateWithBothIdentitiesOnPress) {
    notifications.addObserver(NotificationCenter::fullName(notify::kCheckBoxChanged),
                                [&](const Notification& n) { posted.push_back(n); });
    CheckBox box(notifications);
    box.setRealParent("list panel");
    box.resize(100, 18);
    box.setCheck(true);

    QTest::mousePress(&box, Qt::LeftButton);
    EXPECT_FALSE(box.isButtonChecked());
    EXPECT_EQ(box.shownState(), 2);
    QTest::mouseRelease(&box, Qt::LeftButton);
    EXPECT_EQ(box.shownState(), 0);
    const auto changes = postedNamed(notify::kCheckBoxChanged);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].object, 0);
    EXPECT_EQ(changes[0].userInfo.at("PARENT_WINDOW"), "list panel");
    EXPECT_EQ(changes[0].userInfo.at("CHECKBOX_WINDOW"), box.identity().toStdString());

    box.enableCheckBox(false);
    QTest::mouseClick(&box, Qt::LeftButton);
    EXPECT_FALSE(box.isButtonChecked());
    EXPECT_EQ(postedNamed(notify::kCheckBoxChanged).size(), 1u);
}

namespace {

struct Years {
    explicit Years(ViewTest& t) : panel(), combo(t.notifications, &panel), elsewhere(&panel) {
        for (const char* name : {notify::kComboBoxChanged, notify::kListBoxChanged})
            t.notifications.addObserver(NotificationCenter::fullName(name),
                                        [&t](const Notification& n) { t.posted.push_back(n); });
        panel.resize(291, 240);
        combo.move(62, 3);
        combo.setRealParent("calendar");
        for (int year = 2000; year < 2050; ++year) combo.insertString(year - 2000, QString::number(year));
        combo.setCurSel(25);
        elsewhere.setGeometry(200, 200, 40, 30);
        panel.show();
        QApplication::processEvents();
    }
    void open() { QTest::mouseClick(&combo.spinButton(), Qt::LeftButton); }
    QWidget panel;
    ComboBox combo;
    QWidget elsewhere;
};

}  // namespace

TEST_F(ViewTest, SkinnedControlsPressOutsideAnOpenDropDownClosesItWithMinusOneAndDoesNothingElse) {
    Years years(*this);
    int pressesElsewhere = 0;
    struct Counter : QObject {
        int& count;
        explicit Counter(int& c) : count(c) {}
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::MouseButtonPress) ++count;
            return false;
        }
    } counter(pressesElsewhere);
    years.elsewhere.installEventFilter(&counter);

    years.open();
    ASSERT_TRUE(years.combo.isDropDownOpen());
    EXPECT_EQ(years.combo.listBox().geometry().topLeft(), QPoint(62, 30)) << "directly below the combo box";
    shoot(years.panel, "combo-box-open");
    QTest::mouseClick(&years.elsewhere, Qt::LeftButton);
    EXPECT_FALSE(years.combo.isDropDownOpen());
    EXPECT_EQ(pressesElsewhere, 0) << "the press was consumed";
    EXPECT_EQ(objectsNamed(notify::kListBoxChanged), (std::vector<long>{-1}));
    EXPECT_TRUE(postedNamed(notify::kComboBoxChanged).empty());
    EXPECT_EQ(years.combo.shownText(), "2025");
    EXPECT_EQ(years.combo.getCurSel(), 25);
    QTest::mouseClick(&years.elsewhere, Qt::LeftButton);
    EXPECT_EQ(pressesElsewhere, 1) << "closed: presses reach the window again";
}

TEST_F(ViewTest, SkinnedControlsChoosingARowShowsItsTextAndPostsTheComboChange) {
    Years years(*this);
    ListBox& list = years.combo.listBox();
    EXPECT_EQ(list.visibleSlots(), 8);

    years.open();
    const int rowHeight = list.height() / 8;
    QTest::mouseClick(&list, Qt::LeftButton, {}, QPoint(20, 2 * rowHeight + rowHeight / 2));
    EXPECT_FALSE(years.combo.isDropDownOpen());
    EXPECT_EQ(years.combo.shownText(), "2020");
    const auto changed = postedNamed(notify::kComboBoxChanged);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].object, 20);
    EXPECT_EQ(changed[0].userInfo.at("PARENT_WINDOW"), "calendar");
    EXPECT_EQ(changed[0].userInfo.at("COMBO_WINDOW"), years.combo.identity().toStdString());
}
