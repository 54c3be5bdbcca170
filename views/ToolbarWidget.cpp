#include "views/ToolbarWidget.h"

#include "views/ViewStyle.h"

#include <QAction>
#include <QPainter>
#include <QPainterPath>
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

// The output buttons' symbols: a printer, a box with an arrow into it, a camera, a map pin.
QIcon outputIcon(ToolbarView::Button button) {
    QPixmap pixmap(48, 48);
    pixmap.setDevicePixelRatio(2.0);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(viewcolor::kText, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    switch (button) {
        case ToolbarView::Print:
            p.drawRect(QRectF(7, 3.5, 10, 6));
            p.drawRoundedRect(QRectF(3.5, 9.5, 17, 8), 1.5, 1.5);
            p.drawRect(QRectF(7, 14.5, 10, 6));
            break;
        case ToolbarView::Backup:
            p.drawRoundedRect(QRectF(3.5, 11.5, 17, 9), 1.5, 1.5);
            p.drawLine(QPointF(12, 3), QPointF(12, 15));
            p.drawPolyline(QPolygonF({QPointF(8, 11), QPointF(12, 15), QPointF(16, 11)}));
            break;
        case ToolbarView::Capture:
            p.drawRoundedRect(QRectF(3.5, 7.5, 17, 12), 2, 2);
            p.drawRect(QRectF(8.5, 4.5, 7, 3));
            p.drawEllipse(QPointF(12, 13.5), 3.5, 3.5);
            break;
        default: {
            QPainterPath pin;
            pin.moveTo(12, 21);
            pin.cubicTo(6, 14, 5, 11.5, 5, 9.5);
            pin.arcTo(QRectF(5, 2.5, 14, 14), 180, -180);
            pin.cubicTo(19, 11.5, 18, 14, 12, 21);
            p.drawPath(pin);
            p.drawEllipse(QPointF(12, 9.5), 2.5, 2.5);
        }
    }
    return QIcon(pixmap);
}

// The output buttons in their order on the strip, with the console line of each.
struct OutputButton {
    ToolbarView::Button button;
    const char* name;
    const char* pressed;
};
constexpr OutputButton kOutputButtons[] = {
    {ToolbarView::Print, "printAction", "Print button pressed !\n"},
    {ToolbarView::Backup, "backupAction", "Backup button pressed !\n"},
    {ToolbarView::Capture, "captureAction", "Capture button pressed !\n"},
    {ToolbarView::Export, "exportAction", "Export button pressed !\n"},
};

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

    for (const OutputButton& output : kOutputButtons) {
        QAction* action = addAction(outputIcon(output.button), QString());
        action->setObjectName(output.name);
        action->setEnabled(false);
        connect(action, &QAction::triggered, this, [this, output] {
            std::fputs(output.pressed, stderr);
            if (outputHandlers_[output.button]) outputHandlers_[output.button]();
        });
        outputs_[output.button] = action;
    }

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
    const char* keys[] = {"IDS_TOOLTIP_BACKUP", "IDS_TOOLTIP_PRINT", "IDS_CAPTURE", "IDS_EXPORT_TO_KML"};
    for (const Button button : {Backup, Print, Capture, Export}) {
        outputs_[button]->setText(pmViewString(keys[button]));
        outputs_[button]->setToolTip(pmViewString(keys[button]));
    }
    switchAction_->setText(pmViewString("IDS_WINDOW_SWITCH"));
    switchAction_->setToolTip(pmViewString("IDS_WINDOW_SWITCH"));
}

void ToolbarWidget::setOutputHandler(Button button, std::function<void()> handler) {
    outputHandlers_[button] = std::move(handler);
}

void ToolbarWidget::setButtonEnabled(Button button, bool enabled) {
    enabled_[button] = enabled;
    if (outputs_[button]) outputs_[button]->setEnabled(enabled);
}

void ToolbarWidget::setWindowSwitchVisible(bool visible) { switchAction_->setVisible(visible); }

bool ToolbarWidget::isWindowSwitchVisible() const { return switchAction_->isVisible(); }

void ToolbarWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    pmPaintBar(painter, rect());
    painter.setPen(QColor(16, 16, 18));
    painter.drawLine(0, height() - 1, width(), height() - 1);
}
