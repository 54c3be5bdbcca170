#pragma once
#include "app/ControllerViews.h"

#include <QDate>
#include <QWidget>

#include <functional>
#include <set>

#include <QPixmap>

class BitmapButton;
class NotificationCenter;
class QCalendarWidget;

// The month calendar above the recording list. Days on which the library holds a recording are
// marked (asked of a query the window gives it, once the library is ready); the chosen day is the
// playlist's filter. A day the user picks posts CalendarSelChangedNotification; a day the
// controller sets does not. The mode button switches between the day filter and all recordings
// (the window folds the calendar to its button strip for the latter).
class CalendarWidget : public QWidget, public CalendarPanel {
    Q_OBJECT
public:
    using RecordingQuery = std::function<bool(int year, int month, int day)>;
    // Called with true to show the calendar (day filter), false for all recordings.
    using ModeHandler = std::function<void(bool showCalendar)>;

    static constexpr int kStripHeight = 31;
    static constexpr int kFullHeight = 240;

    explicit CalendarWidget(NotificationCenter& notifications, QWidget* parent = nullptr);

    void setRecordingQuery(RecordingQuery query) { query_ = std::move(query); }
    void setModeHandler(ModeHandler handler) { modeHandler_ = std::move(handler); }

    // CalendarPanel
    void videoLibIsReady() override;
    // Ignored for years from 2050 on.
    void setActivateDay(int year, int month, int day) override;
    void getSelectDay(int& year, int& month, int& day) const override;
    void loadSkinBitmap() override;

    // Folded: only the button strip shows.
    void shrinkCalendarView(bool shrink);
    bool isShrunk() const { return shrunk_; }
    // 0 day filter, 1 all recordings.
    int calendarMode() const { return mode_; }
    bool isMarked(const QDate& date) const { return marks_.count(date) != 0; }
    QCalendarWidget& calendar() { return *calendar_; }
    BitmapButton& modeButton() { return *modeButton_; }
    void changeLanguage();
    // The mode button's title: white on skins 0 and 3, black on the others.
    void changeTextColor();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void recomputeMarks();
    void userSelected();
    void modePressed();

    NotificationCenter& notifications_;
    QString identity_;
    QCalendarWidget* calendar_;
    BitmapButton* modeButton_;
    QPixmap background_;
    RecordingQuery query_;
    ModeHandler modeHandler_;
    std::set<QDate> marks_;
    bool libraryReady_ = false;
    bool settingDay_ = false;
    bool shrunk_ = false;
    int mode_ = 0;
    int focusYear_ = 0, focusMonth_ = 0, focusDay_ = 0;
};
