#pragma once
#include "desktop/WindowApplication.h"
#include "platform/WebEngineSandbox.h"
#include "support/LocalHttpServer.h"
#include "support/MemoryPreferences.h"
#include "support/QtWait.h"
#include "support/SampleCardFixture.h"
#include "support/TempHome.h"
#include "tools/FrameStamp.h"
#include "tools/SampleCardTable.h"
#include "Utility/CalendarDate.h"
#include "views/CalendarWidget.h"
#include "views/PlayBarWidget.h"
#include "views/FileListBox.h"
#include "views/RecordingListWidget.h"
#include "views/ViewStyle.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDateTime>
#include <QTest>

#include <QWheelEvent>

#include <algorithm>
#include <clocale>
#include <optional>

// The local day of a recording of the card.
inline QDate dayOf(const SampleEntry& entry) {
    return QDateTime::fromSecsSinceEpoch(sampleEntryTime(entry, sampleCardTestOptions().firstDay)).date();
}

// The stamp shown by a movie view in a screenshot of the window: the picture is fitted into the
// view, centred, keeping its aspect.
inline std::optional<FrameStamp> stampInView(const QImage& shot, QWidget& window, QWidget& view, MovieSize natural) {
    if (natural.width <= 0 || natural.height <= 0) return std::nullopt;
    const QRect area(view.mapTo(&window, QPoint(0, 0)), view.size());
    const double scale = std::min(double(area.width()) / natural.width, double(area.height()) / natural.height);
    const int width = int(natural.width * scale), height = int(natural.height * scale);
    const QRect picture(area.x() + (area.width() - width) / 2, area.y() + (area.height() - height) / 2, width, height);
    const QImage gray = shot.copy(picture).convertToFormat(QImage::Format_Grayscale8);
    const ImageView image{gray.constBits(), gray.width(), gray.height(), int(gray.bytesPerLine()),
                          ImageView::Format::Gray8};
    return readFrameStamp(image, natural.width, natural.height);
}

// The window program as main() puts it together (web view sandbox included), in its own home and
// settings, on the sample card, its probe and tiles at a closed local port unless a test says
// otherwise before it starts the program.
class WindowProgramTest : public ::testing::Test {
protected:
    WindowProgramTest() { home.writeServices(std::string(kClosedLocalAddress) + "/", kClosedLocalAddress); }
    // Starts the program in a language and waits for its first layout.
    void start(int languageId = 0, RouteTables routes = {}) {
        std::setlocale(LC_NUMERIC, "C");
        store.values["LANGUAGE_ID"] = languageId;
        pmApplyWindowTheme(application_);
        program = std::make_unique<WindowApplication>(
            WindowApplication::Options{.audioOutput = "null", .startNotice = sandboxNotice_, .routes = std::move(routes)});
        program->start(sampleCardFolder());
        spinFor(0.3);
    }
    MainWindow& window() { return program->window(); }
    FileListBox& rows() { return window().recordingList().list(); }
    std::string pathOf(int row) { return rows().getText(row).toStdString(); }
    int rowNamed(const std::string& name) {
        for (int row = 0; row < window().recordingList().rowCount(); ++row)
            if (pathOf(row).ends_with("/" + name)) return row;
        return -1;
    }
    // Clicks the day's cell in the calendar, on the day's month.
    void selectDay(const QDate& day) {
        CalendarWidget& calendar = window().calendar();
        calendar.setActivateDay(day.year(), day.month(), 1);
        const int cell = pmGetDayOfWeek(day.year(), day.month(), 1) + day.day() - 1;
        QTest::mouseClick(&calendar, Qt::LeftButton, {}, calendar.cellRect(cell).center());
        spinFor(0.2);
    }
    void selectDayOf(const std::string& name) { selectDay(dayOf(sampleCardEntry(name))); }
    // Turns the wheel over the list until the row shows.
    void scrollTo(int row) {
        const int turns = std::max(rows().firstVisible() - row, 0) +
                          std::min(rows().firstVisible() + rows().visibleSlots() - 1 - row, 0);
        QWheelEvent wheel({10, 10}, rows().mapToGlobal(QPointF(10, 10)), {}, {0, 120 * turns}, {}, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&rows(), &wheel);
    }
    // Double-clicks a row and plays until the first player shows moving pictures of another
    // recording with the pause image on the play button.
    bool play(int row) {
        const std::string before = program->player1().path();
        scrollTo(row);
        const QPoint at = rows().slotRect(row - rows().firstVisible()).center();
        QTest::mouseClick(&rows(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(&rows(), Qt::LeftButton, {}, at);
        return spinUntil([&] {
            auto& player = program->player1();
            return player.path() != before && player.loadState() == kMovieLoadStatePlayable &&
                   player.currentTime() > 1.0 && window().playBar().playButtonIndex() == 1;
        });
    }

    // As main() does: before the application, so that a program run as root can make web views.
    std::string sandboxNotice_ = pmPrepareWebEngineSandbox();
    TempHome home;
    MemoryPreferences store;
    QApplication application_{qtArgc(), qtArgv()};
    std::unique_ptr<WindowApplication> program;
};
