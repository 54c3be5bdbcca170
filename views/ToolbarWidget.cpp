#include "views/ToolbarWidget.h"

#include "views/ViewStyle.h"

#include <QAction>
#include <QPainter>
#include <QStyle>

#include <cstdio>

namespace {

// Two overlapping frames with a turning arrow: the front and rear views trade places.
QIcon swapIcon() {
    QPixmap pixmap(48, 48);
    pixmap.setDevicePixelRatio(2.0);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(viewcolor::kText, 1.6));
    p.drawRoundedRect(QRectF(2.5, 4.5, 12, 9), 1.5, 1.5);
    p.setBrush(viewcolor::kText);
    p.drawRoundedRect(QRectF(10.5, 11.5, 11, 8), 1.5, 1.5);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(15, 2, 7, 7), 0, 180 * 16);
    p.drawLine(QPointF(21.5, 5.5), QPointF(21.5, 8.5));
    return QIcon(pixmap);
}

}  // namespace

ToolbarWidget::ToolbarWidget(QWidget* parent) : QToolBar(parent) {
    setObjectName("toolbar");
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(22, 22));
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setFont(pmViewFont(13));

    open_ = addAction(style()->standardIcon(QStyle::SP_DirOpenIcon), QString());
    open_->setObjectName("openAction");
    connect(open_, &QAction::triggered, this, [this] {
        std::fputs("Browse button pressed !\n", stderr);
        if (browse_) browse_();
    });

    settings_ = addAction(style()->standardIcon(QStyle::SP_FileDialogDetailedView), QString());
    settings_->setObjectName("settingsAction");
    connect(settings_, &QAction::triggered, this, [this] { pmPopUpSettingsMenu(settingsButton(), settingsMenu_); });

    auto* spacer = new QWidget(this);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    addWidget(spacer);

    switchAction_ = addAction(swapIcon(), QString());
    switchAction_->setObjectName("windowSwitchAction");
    switchAction_->setVisible(false);
    connect(switchAction_, &QAction::triggered, this, [this] {
        std::fputs("Window switch button pressed !\n", stderr);
        if (windowSwitch_) windowSwitch_();
    });
    changeLanguage();
}

void ToolbarWidget::changeLanguage() {
    open_->setText(pmViewString("IDS_OPEN"));
    open_->setToolTip(pmViewString("IDS_OPEN"));
    settings_->setText(pmViewString("IDS_SETTINGS"));
    settings_->setToolTip(pmViewString("IDS_SETTINGS"));
    switchAction_->setText(pmViewString("IDS_WINDOW_SWITCH"));
    switchAction_->setToolTip(pmViewString("IDS_WINDOW_SWITCH"));
}

QWidget& ToolbarWidget::settingsButton() { return *widgetForAction(settings_); }

void ToolbarWidget::setButtonEnabled(Button button, bool enabled) { enabled_[button] = enabled; }

void ToolbarWidget::setWindowSwitchVisible(bool visible) { switchAction_->setVisible(visible); }

bool ToolbarWidget::isWindowSwitchVisible() const { return switchAction_->isVisible(); }

void ToolbarWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    pmPaintBar(painter, rect());
    painter.setPen(QColor(16, 16, 18));
    painter.drawLine(0, height() - 1, width(), height() - 1);
}
