#include "views/WindowKeys.h"

#include "views/MainWindow.h"
#include "views/PlayBarWidget.h"
#include "views/SliderWidget.h"

#include <QApplication>
#include <QKeyEvent>

WindowKeys::WindowKeys(MainWindow& window) : QObject(&window), window_(window) { qApp->installEventFilter(this); }

bool WindowKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    if (static_cast<QWidget*>(watched)->window() != &window_) return false;
    if (QApplication::activePopupWidget() || QApplication::activeModalWidget()) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~Qt::KeypadModifier) return false;
    return act(key->key(), key->isAutoRepeat());
}

bool WindowKeys::act(int key, bool autoRepeat) {
    PlayBarWidget& bar = window_.playBar();
    // Held down, only the sliders keep moving.
    switch (key) {
        case Qt::Key_Left: bar.timeSlider().stepByUser(-kSeekSeconds); return true;
        case Qt::Key_Right: bar.timeSlider().stepByUser(kSeekSeconds); return true;
        case Qt::Key_Up: bar.volumeSlider().stepByUser(1); return true;
        case Qt::Key_Down: bar.volumeSlider().stepByUser(-1); return true;
        default: break;
    }
    PlayBarWidget::Code code;
    switch (key) {
        case Qt::Key_Space: code = PlayBarWidget::kPlay; break;
        case Qt::Key_PageUp: code = PlayBarWidget::kPrevious; break;
        case Qt::Key_PageDown: code = PlayBarWidget::kNext; break;
        case Qt::Key_S: code = PlayBarWidget::kSpeed; break;
        case Qt::Key_M: code = PlayBarWidget::kMute; break;
        case Qt::Key_F11:
            if (!autoRepeat) window_.pressScreenModeButton();
            return true;
        case Qt::Key_Escape:
            if (!window_.isFullScreenMode()) return false;
            if (!autoRepeat) window_.pressScreenModeButton();
            return true;
        default: return false;
    }
    if (!autoRepeat) bar.pressButton(code);
    return true;
}
