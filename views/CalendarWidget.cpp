#include "views/CalendarWidget.h"

#include "Utility/Skin.h"
#include "views/ComboBox.h"
#include "views/SkinImages.h"
#include "views/SkinnedButtons.h"
#include "views/ViewStyle.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

// The grid's places, measured from the calendar's top edge.
constexpr int kCellTop = 44;
constexpr int kCellHeight = 31;
constexpr int kRowPitch = 33;
constexpr int kCaptionTop = 31;
constexpr int kCaptionHeight = 12;

const QColor kWeekendCaption(125, 15, 15);
const QColor kWeekendDay(200, 0, 0);
const QColor kWeekDay(32, 32, 32);
const QColor kNeighbourDay(100, 100, 100);

bool isWeekend(int column) { return column == 0 || column == 6; }

}  // namespace

CalendarWidget::CalendarWidget(NotificationCenter& notifications, QWidget* parent)
    : QWidget(parent),
      notifications_(notifications),
      identity_(QString::asprintf("Calendar-%p", static_cast<void*>(this))) {
    setFocusPolicy(Qt::NoFocus);
    previous_ = new BitmapButton(this);
    next_ = new BitmapButton(this);
    modeButton_ = new BitmapButton(this);
    connect(previous_, &BitmapButton::clicked, this, &CalendarWidget::goPrevious);
    connect(next_, &BitmapButton::clicked, this, &CalendarWidget::goNext);
    connect(modeButton_, &BitmapButton::clicked, this, &CalendarWidget::modePressed);

    yearCombo_ = new ComboBox(notifications_, this);
    monthCombo_ = new ComboBox(notifications_, this);
    for (int year = kFirstYear; year <= kLastYear; ++year) yearCombo_->insertString(year - kFirstYear, QString::number(year));
    for (int month = 1; month <= 12; ++month) monthCombo_->insertString(month - 1, QString::number(month));
    for (ComboBox* combo : {yearCombo_, monthCombo_}) combo->setRealParent(identity_);
    comboToken_ = notifications_.addObserver(NotificationCenter::fullName(notify::kComboBoxChanged),
                                             [this](const Notification& n) { comboChanged(n); });

    const QDate today = QDate::currentDate();
    focusYear_ = today.year();
    focusMonth_ = today.month();
    focusDay_ = today.day();
    showMonth(focusYear_, focusMonth_);
    loadSkinBitmap();
    changeLanguage();
    placeControls();
}

CalendarWidget::~CalendarWidget() { notifications_.removeObserver(comboToken_); }

void CalendarWidget::loadSkinBitmap() {
    background_ = pmLoadImage("calendar_background.png");
    focusImage_ = pmLoadImage("calendar_pic_d.png");
    markImage_ = pmLoadImage("icon_calendar_black.png");
    focusMarkImage_ = pmLoadImage("icon_calendar_white.png");
    previous_->setBitmapButton(SkinnedButton::family("button_calendar_back"));
    next_->setBitmapButton(SkinnedButton::family("button_calendar_next"));
    modeButton_->setBitmapButton(SkinnedButton::family("button_calendar"));
    for (ComboBox* combo : {yearCombo_, monthCombo_}) combo->loadSkinBitmap();
    changeTextColor();
    placeControls();
    update();
}

void CalendarWidget::changeTextColor() {
    const int skin = pmGetSkinID();
    modeButton_->setTitleColor(skin == 0 || skin == 3 ? Qt::white : Qt::black);
}

void CalendarWidget::changeLanguage() {
    modeButton_->setBitmapTitle(pmViewString(mode_ == 0 ? "IDS_ALL" : "IDS_CALENDAR"));
    update();  // the weekday captions are looked up at every drawing
}

QRect CalendarWidget::placed(int x, int top, int width, int height) const {
    return QRect(rightToLeft_ ? calendarWidth() - width - x : x, top, width, height);
}

void CalendarWidget::relayoutContents(bool rightToLeft) {
    rightToLeft_ = rightToLeft;
    for (BitmapButton* button : {previous_, next_}) button->setButtonFlipped(rightToLeft);
    for (ComboBox* combo : {yearCombo_, monthCombo_}) combo->relayoutContents(rightToLeft);
    placeControls();
    update();
}

void CalendarWidget::placeControls() {
    previous_->setGeometry(placed(0, 0, 30, 30));
    next_->setGeometry(placed(31, 0, 30, 30));
    yearCombo_->setGeometry(placed(62, 3, 67, 27));
    monthCombo_->setGeometry(placed(131, 3, 67, 27));
    // Its bottom edge is 210 pixels above the calendar's bottom, 1 pixel when folded: the top
    // either way.
    modeButton_->setGeometry(placed(202, 0, 85, 30));
}

int CalendarWidget::calendarWidth() const { return background_.isNull() ? width() : background_.width(); }

QRect CalendarWidget::cellRect(int cell) const {
    const int itemWidth = calendarWidth() / 7;
    const int startX = (calendarWidth() - 7 * itemWidth) / 2;
    return placed(startX + cell % 7 * itemWidth, kCellTop + cell / 7 * kRowPitch, itemWidth, kCellHeight);
}

void CalendarWidget::videoLibIsReady() {
    libraryReady_ = true;
    recomputeMarks();
    update();
}

void CalendarWidget::setActivateDay(int year, int month, int day) {
    if (year > kLastYear) return;
    focusYear_ = year;
    focusMonth_ = month;
    focusDay_ = day;
    showMonth(year, month);
}

void CalendarWidget::getSelectDay(int& year, int& month, int& day) const {
    year = focusYear_;
    month = focusMonth_;
    day = focusDay_;
}

void CalendarWidget::showMonth(int year, int month) {
    shownYear_ = year;
    shownMonth_ = month;
    grid_ = pmGetAllDateofAMonth(year, month, 1);
    yearCombo_->setCurSel(std::max(year - kFirstYear, 0));
    monthCombo_->setCurSel(month - 1);
    recomputeMarks();
    update();
}

void CalendarWidget::goPrevious() {
    // At the first page it stays, but marks and drawing are still refreshed.
    if (shownYear_ == kFirstYear && shownMonth_ == 1) return showMonth(shownYear_, shownMonth_);
    showMonth(shownMonth_ == 1 ? shownYear_ - 1 : shownYear_, shownMonth_ == 1 ? 12 : shownMonth_ - 1);
}

void CalendarWidget::goNext() {
    if (shownYear_ == kLastYear && shownMonth_ == 12) return showMonth(shownYear_, shownMonth_);
    showMonth(shownMonth_ == 12 ? shownYear_ + 1 : shownYear_, shownMonth_ == 12 ? 1 : shownMonth_ + 1);
}

// A choice turns the page; the focus day and the playlist stay.
void CalendarWidget::comboChanged(const Notification& notification) {
    const auto combo = notification.userInfo.find("COMBO_WINDOW");
    if (combo == notification.userInfo.end()) return;
    const int index = static_cast<int>(notification.object);
    if (combo->second == yearCombo_->identity().toStdString()) showMonth(kFirstYear + index, shownMonth_);
    else if (combo->second == monthCombo_->identity().toStdString()) showMonth(shownYear_, index + 1);
}

void CalendarWidget::recomputeMarks() {
    // Until the library is first ready the marks stay as they were.
    if (!libraryReady_) return;
    for (int cell = 0; cell < kCellCount; ++cell) {
        const CalendarDate& date = grid_[static_cast<std::size_t>(cell)];
        marks_[static_cast<std::size_t>(cell)] = query_ && query_(date.year, date.month, date.day);
    }
}

bool CalendarWidget::isMarked(const QDate& date) const {
    for (int cell = 0; cell < kCellCount; ++cell) {
        const CalendarDate& at = grid_[static_cast<std::size_t>(cell)];
        if (QDate(at.year, at.month, at.day) == date) return marks_[static_cast<std::size_t>(cell)];
    }
    return false;
}

void CalendarWidget::shrinkCalendarView(bool shrink) {
    shrunk_ = shrink;
    update();
}

void CalendarWidget::modePressed() {
    mode_ = mode_ == 0 ? 1 : 0;
    for (QWidget* control : std::initializer_list<QWidget*>{previous_, next_, yearCombo_, monthCombo_})
        control->setVisible(mode_ == 0);
    changeLanguage();
    if (modeHandler_) modeHandler_(mode_ == 0);
}

void CalendarWidget::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    for (int cell = 0; cell < kCellCount; ++cell) {
        if (!cellRect(cell).contains(point)) continue;
        const CalendarDate& date = grid_[static_cast<std::size_t>(cell)];
        // A day of the previous or next month does nothing.
        if (date.month != shownMonth_) return;
        focusYear_ = date.year;
        focusMonth_ = shownMonth_;
        focusDay_ = date.day;
        notifications_.post(notify::kCalendarSelChanged, 0, {{"CALENDAR_WINDOW", identity_.toStdString()}});
        update();
        return;
    }
}

void CalendarWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (shrunk_) {
        painter.drawPixmap(QPoint(0, 0), background_, QRect(0, 0, background_.width(), kStripHeight));
        return;
    }
    painter.drawPixmap(0, 0, background_);

    painter.setFont(pmViewFont(12));
    for (int column = 0; column < 7; ++column) {
        painter.setPen(isWeekend(column) ? kWeekendCaption : QColor(Qt::white));
        const QRect cell = cellRect(column);
        painter.drawText(QRect(cell.left(), kCaptionTop, cell.width(), kCaptionHeight), Qt::AlignCenter,
                         pmViewString("IDS_WEEK_" + std::to_string(column + 1)));
    }

    painter.setFont(pmViewFont(14));
    for (int cell = 0; cell < kCellCount; ++cell) {
        const CalendarDate& date = grid_[static_cast<std::size_t>(cell)];
        const QRect place = cellRect(cell);
        const bool focus = date.year == focusYear_ && date.month == focusMonth_ && date.day == focusDay_;
        if (focus)
            painter.drawPixmap(place.topLeft(), focusImage_,
                               QRect(0, focusImage_.height() - place.height(), place.width(), place.height()));
        if (marks_[static_cast<std::size_t>(cell)]) {
            const QPixmap& mark = focus ? focusMarkImage_ : markImage_;
            painter.drawPixmap(place.left(), place.bottom() + 1 - mark.height(), mark);
        }
        painter.setPen(date.month != shownMonth_ ? kNeighbourDay : isWeekend(cell % 7) ? kWeekendDay : kWeekDay);
        painter.drawText(place, Qt::AlignCenter, QString::number(date.day));
    }
}
