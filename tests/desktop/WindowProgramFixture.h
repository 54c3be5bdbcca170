#pragma once
#include "desktop/WindowApplication.h"
#include "platform/WebEngineSandbox.h"
#include "support/LocalHttpServer.h"
#include "support/MemoryPreferences.h"
#include "support/QtWait.h"
#include "support/SampleCardFixture.h"
#include "support/TempHome.h"
#include "tools/SampleCardTable.h"
#include "views/CalendarWidget.h"
#include "views/PlayBarWidget.h"
#include "views/RecordingListWidget.h"
#include "views/ViewStyle.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QDateTime>
#include <QListWidget>
#include <QTest>

#include <clocale>

// The local day of a recording of the card.
inline QDate dayOf(const SampleEntry& entry) {
    return QDateTime::fromSecsSinceEpoch(sampleEntryTime(entry, sampleCardTestOptions().firstDay)).date();
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
    QListWidget& rows() { return window().recordingList().list(); }
    std::string pathOf(int row) { return rows().item(row)->toolTip().toStdString(); }
    int rowNamed(const std::string& name) {
        for (int row = 0; row < rows().count(); ++row)
            if (pathOf(row).ends_with("/" + name)) return row;
        return -1;
    }
    void selectDayOf(const std::string& name) {
        window().calendar().calendar().setSelectedDate(dayOf(sampleCardEntry(name)));
        spinFor(0.2);
    }
    // Double-clicks a row and plays until the first player shows moving pictures of another
    // recording with the pause image on the play button.
    bool play(int row) {
        const std::string before = program->player1().path();
        const QPoint at = rows().visualItemRect(rows().item(row)).center();
        QTest::mouseClick(rows().viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(rows().viewport(), Qt::LeftButton, {}, at);
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
    int argc_ = 1;
    char name_[16] = "desktop_tests";
    char* argv_[2] = {name_, nullptr};
    QApplication application_{argc_, argv_};
    std::unique_ptr<WindowApplication> program;
};
