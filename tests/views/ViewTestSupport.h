#pragma once
#include "app/NotificationCenter.h"
#include "support/MemoryPreferences.h"
#include "support/QtWait.h"
#include "support/Screenshot.h"
#include "support/TempHome.h"
#include "views/ViewStyle.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>

#include <vector>

// The fixture of the view tests: its own home and settings (English texts), a themed application
// and a record of every notification the views post.
class ViewTest : public ::testing::Test {
public:
    ViewTest() {
        store.values["LANGUAGE_ID"] = 0;
        pmApplyWindowTheme(application_);
        for (const char* name : {notify::kFileListViewDoubleClick, notify::kFileListViewCheckBox,
                                 notify::kCalendarSelChanged, notify::kSliderChanged, notify::kDoSliderChanged,
                                 notify::kPlayBarButtonClicked})
            notifications.addObserver(NotificationCenter::fullName(name),
                                      [this](const Notification& n) { posted.push_back(n); });
    }

    // The notifications of one name (short form) in the order they came, and their objects.
    std::vector<Notification> postedNamed(const char* shortName) const {
        std::vector<Notification> found;
        for (const auto& n : posted)
            if (n.name == NotificationCenter::fullName(shortName)) found.push_back(n);
        return found;
    }
    std::vector<long> objectsNamed(const char* shortName) const {
        std::vector<long> objects;
        for (const auto& n : postedNamed(shortName)) objects.push_back(n.object);
        return objects;
    }

    static void showAt(QWidget& widget, int width, int height) {
        widget.resize(width, height);
        widget.show();
        QApplication::processEvents();
    }
    // A left-button press, move (the button held) or release at a point of the widget.
    static void sendMouse(QWidget& widget, QEvent::Type type, QPoint at) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, widget.mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(&widget, &event);
    }
    // Saves a screenshot for people to look at and returns it as an image for the test to read.
    static QImage shoot(QWidget& widget, const QString& name) {
        return QImage(saveScreenshot(widget, name)).convertToFormat(QImage::Format_RGB32);
    }

    TempHome home;
    MemoryPreferences store;
    NotificationCenter notifications;
    std::vector<Notification> posted;

private:
    QApplication application_{qtArgc(), qtArgv()};
};
