#include "views/CalendarWidget.h"

#include "Utility/Language.h"
#include "app/NotificationCenter.h"
#include "Utility/Skin.h"
#include "views/SkinImages.h"
#include "views/SkinnedButtons.h"
#include "views/ViewStyle.h"

#include <QCalendarWidget>
#include <QPainter>
#include <QTextCharFormat>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kLastYear = 2049;
const QRect kModeButton(202, 0, 85, 30);

// Draws a dot under the day number of every marked day.
class MarkedCalendar : public QCalendarWidget {
public:
    MarkedCalendar(const std::set<QDate>& marks, QWidget* parent) : QCalendarWidget(parent), marks_(marks) {}

protected:
    void paintCell(QPainter* painter, const QRect& rect, QDate date) const override {
        QCalendarWidget::paintCell(painter, rect, date);
        if (!marks_.count(date)) return;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(date == selectedDate() ? QColor(Qt::white) : QColor(255, 170, 60));
        painter->drawEllipse(QPointF(rect.center().x() + 0.5, rect.bottom() - 3.5), 2.5, 2.5);
        painter->restore();
    }

private:
    const std::set<QDate>& marks_;
};

}  // namespace

CalendarWidget::CalendarWidget(NotificationCenter& notifications, QWidget* parent)
    : QWidget(parent),
      notifications_(notifications),
      identity_(QString::asprintf("Calendar-%p", static_cast<void*>(this))) {
    const QDate today = QDate::currentDate();
    focusYear_ = today.year();
    focusMonth_ = today.month();
    focusDay_ = today.day();

    auto* strip = new QWidget(this);
    strip->setFixedHeight(kStripHeight);
    modeButton_ = new BitmapButton(strip);
    modeButton_->setObjectName("calendarModeButton");
    modeButton_->setGeometry(kModeButton);
    connect(modeButton_, &BitmapButton::clicked, this, &CalendarWidget::modePressed);

    calendar_ = new MarkedCalendar(marks_, this);
    calendar_->setObjectName("calendarGrid");
    calendar_->setFirstDayOfWeek(Qt::Sunday);
    calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar_->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    calendar_->setGridVisible(false);
    calendar_->setDateRange(QDate(2000, 1, 1), QDate(kLastYear, 12, 31));
    calendar_->setSelectedDate(today);
    QTextCharFormat weekend;
    weekend.setForeground(QColor(235, 95, 95));
    calendar_->setWeekdayTextFormat(Qt::Saturday, weekend);
    calendar_->setWeekdayTextFormat(Qt::Sunday, weekend);
    connect(calendar_, &QCalendarWidget::selectionChanged, this, &CalendarWidget::userSelected);
    connect(calendar_, &QCalendarWidget::currentPageChanged, this, [this] { recomputeMarks(); });

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(strip);
    column->addWidget(calendar_, 1);
    loadSkinBitmap();
    changeLanguage();
}

void CalendarWidget::loadSkinBitmap() {
    background_ = pmLoadImage("calendar_background.png");
    modeButton_->setBitmapButton(SkinnedButton::family("button_calendar"));
    changeTextColor();
    update();
}

void CalendarWidget::changeTextColor() {
    const int skin = pmGetSkinID();
    modeButton_->setTitleColor(skin == 0 || skin == 3 ? Qt::white : Qt::black);
}

void CalendarWidget::changeLanguage() {
    modeButton_->setBitmapTitle(pmViewString(mode_ == 0 ? "IDS_ALL" : "IDS_CALENDAR"));
    // Month and weekday names follow the interface language, not the system's.
    calendar_->setLocale(getLanguageId() == kLanguageTraditionalChinese
                             ? QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan)
                             : QLocale(QLocale::English, QLocale::UnitedStates));
}

void CalendarWidget::videoLibIsReady() {
    libraryReady_ = true;
    recomputeMarks();
}

void CalendarWidget::setActivateDay(int year, int month, int day) {
    if (year > kLastYear) return;
    focusYear_ = year;
    focusMonth_ = month;
    focusDay_ = day;
    settingDay_ = true;
    calendar_->setSelectedDate(QDate(year, month, day));
    calendar_->setCurrentPage(std::max(year, 2000), month);
    settingDay_ = false;
    recomputeMarks();
}

void CalendarWidget::getSelectDay(int& year, int& month, int& day) const {
    year = focusYear_;
    month = focusMonth_;
    day = focusDay_;
}

void CalendarWidget::userSelected() {
    if (settingDay_) return;
    const QDate date = calendar_->selectedDate();
    focusYear_ = date.year();
    focusMonth_ = date.month();
    focusDay_ = date.day();
    notifications_.post(notify::kCalendarSelChanged, 0, {{"CALENDAR_WINDOW", identity_.toStdString()}});
}

void CalendarWidget::recomputeMarks() {
    // Until the library is first ready the marks stay as they were.
    if (!libraryReady_) return;
    marks_.clear();
    if (query_) {
        // Every cell the month's page can show: the grid starts up to a week before the 1st and
        // runs six weeks.
        const QDate first(calendar_->yearShown(), calendar_->monthShown(), 1);
        for (QDate date = first.addDays(-7); date < first.addDays(42); date = date.addDays(1))
            if (query_(date.year(), date.month(), date.day())) marks_.insert(date);
    }
    calendar_->update();
    if (QWidget* grid = calendar_->findChild<QWidget*>("qt_calendar_calendarview")) grid->update();
}

void CalendarWidget::shrinkCalendarView(bool shrink) {
    shrunk_ = shrink;
    calendar_->setVisible(!shrink);
}

void CalendarWidget::modePressed() {
    mode_ = mode_ == 0 ? 1 : 0;
    changeLanguage();
    if (modeHandler_) modeHandler_(mode_ == 0);
}

void CalendarWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The strip is the top of the skin's calendar picture; the month grid below is the toolkit's.
    painter.drawPixmap(QPoint(0, 0), background_, QRect(0, 0, width(), kStripHeight));
    painter.fillRect(QRect(0, kStripHeight, width(), height() - kStripHeight), palette().color(QPalette::Window));
}
