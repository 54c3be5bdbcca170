#pragma once
#include "Utility/CalendarDate.h"
#include "app/ControllerViews.h"
#include "app/NotificationCenter.h"

#include <QDate>
#include <QPixmap>
#include <QWidget>

#include <array>
#include <functional>

class BitmapButton;
class ComboBox;

// The month calendar above the recording list: six weeks from Sunday of the month shown, with
// the days of the neighbouring months in grey, a mark on every day on which the library holds a
// recording (asked of a query the window gives it, once the library is ready) and the focus day,
// the playlist's filter. A click on a day of the month shown makes it the focus day and posts
// CalendarSelChangedNotification; a click on a neighbouring month's day does nothing. Previous,
// next and the year and month choosers turn the page (January 2000 to December 2049) without
// moving the focus day. The mode button switches between the day filter and all recordings; for
// the latter the window folds the calendar to its top strip. It never takes the keyboard focus:
// the window's keys belong to the play bar.
class CalendarWidget : public QWidget, public CalendarPanel {
    Q_OBJECT
public:
    using RecordingQuery = std::function<bool(int year, int month, int day)>;
    // Called with true to show the calendar (day filter), false for all recordings.
    using ModeHandler = std::function<void(bool showCalendar)>;

    static constexpr int kFullHeight = 240;
    // Folded, the calendar gives this much of its height to the list.
    static constexpr int kFoldHeight = 209;
    static constexpr int kStripHeight = kFullHeight - kFoldHeight;
    static constexpr int kCellCount = 42;
    static constexpr int kFirstYear = 2000;
    static constexpr int kLastYear = 2049;

    explicit CalendarWidget(NotificationCenter& notifications, QWidget* parent = nullptr);
    ~CalendarWidget() override;

    void setRecordingQuery(RecordingQuery query) { query_ = std::move(query); }
    void setModeHandler(ModeHandler handler) { modeHandler_ = std::move(handler); }

    // CalendarPanel
    void videoLibIsReady() override;
    // Shows the day's month and makes it the focus day; ignored for years from 2050 on. A year
    // before 2000 is kept while the year chooser shows 2000.
    void setActivateDay(int year, int month, int day) override;
    void getSelectDay(int& year, int& month, int& day) const override;

    // Folded: only the top strip shows.
    void shrinkCalendarView(bool shrink);
    bool isShrunk() const { return shrunk_; }
    // Right to left: every place mirrored.
    void relayoutContents(bool rightToLeft);
    void changeLanguage() override;
    void loadSkinBitmap() override;
    // The mode button's title: white on skins 0 and 3, black on the others.
    void changeTextColor();

    // 0 day filter, 1 all recordings.
    int calendarMode() const { return mode_; }
    int shownYear() const { return shownYear_; }
    int shownMonth() const { return shownMonth_; }
    const MonthGrid& grid() const { return grid_; }
    QRect cellRect(int cell) const;
    // Whether the day's cell on the page shown carries the recording mark.
    bool isMarked(const QDate& date) const;

    BitmapButton& previousButton() { return *previous_; }
    BitmapButton& nextButton() { return *next_; }
    BitmapButton& modeButton() { return *modeButton_; }
    ComboBox& yearComboBox() { return *yearCombo_; }
    ComboBox& monthComboBox() { return *monthCombo_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // The calendar's full width is its background's.
    int calendarWidth() const;
    // A place of the top-left layout, mirrored in right-to-left layout.
    QRect placed(int x, int top, int width, int height) const;
    void placeControls();
    void showMonth(int year, int month);
    void goPrevious();
    void goNext();
    void recomputeMarks();
    void modePressed();
    void comboChanged(const Notification& notification);

    NotificationCenter& notifications_;
    NotificationCenter::Token comboToken_ = 0;
    QString identity_;
    BitmapButton* previous_;
    BitmapButton* next_;
    BitmapButton* modeButton_;
    ComboBox* yearCombo_;
    ComboBox* monthCombo_;
    QPixmap background_, focusImage_, markImage_, focusMarkImage_;
    RecordingQuery query_;
    ModeHandler modeHandler_;
    MonthGrid grid_{};
    std::array<bool, kCellCount> marks_{};
    bool libraryReady_ = false;
    bool shrunk_ = false;
    bool rightToLeft_ = false;
    int mode_ = 0;
    int shownYear_ = 0, shownMonth_ = 0;
    int focusYear_ = 0, focusMonth_ = 0, focusDay_ = 0;
};
