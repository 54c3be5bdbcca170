#pragma once
#include "desktop/WindowApplication.h"
#include "support/MemoryPreferences.h"
#include "support/QtWait.h"
#include "support/SampleCardFixture.h"
#include "support/TempHome.h"
#include "tools/FrameStamp.h"
#include "views/PlayBarWidget.h"
#include "views/FileListBox.h"
#include "views/RecordingListWidget.h"
#include "views/ViewStyle.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>
#include <clocale>
#include <optional>

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

// The window program as main() puts it together, in its own home and settings, on the sample card.
class WindowProgramTest : public ::testing::Test {
protected:
    // Starts the program in a language and waits for its first layout.
    void start(int languageId = 0) {
        std::setlocale(LC_NUMERIC, "C");
        store.values["LANGUAGE_ID"] = languageId;
        pmApplyWindowTheme(application_);
        program = std::make_unique<WindowApplication>(WindowApplication::Options{.audioOutput = "null"});
        program->start(sampleCardFolder());
        spinFor(0.3);
    }
    MainWindow& window() { return program->window(); }
    FileListBox& rows() { return window().recordingList().list(); }
    std::string pathOf(int row) { return rows().getText(row).toStdString(); }
    int rowNamed(const std::string& name) {
        for (int row = 0; row < rows().getCount(); ++row)
            if (pathOf(row).ends_with("/" + name)) return row;
        return -1;
    }
    // Turns the wheel over the list until the row shows.
    void scrollTo(int row) {
        FileListBox& box = rows();
        const int steps = std::max(box.firstVisible() - row, 0) + std::min(box.firstVisible() + box.visibleSlots() - 1 - row, 0);
        QWheelEvent wheel({10, 10}, box.mapToGlobal(QPointF(10, 10)), {}, {0, 120 * steps}, {}, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&box, &wheel);
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

    TempHome home;
    MemoryPreferences store;
    int argc_ = 1;
    char name_[16] = "desktop_tests";
    char* argv_[2] = {name_, nullptr};
    QApplication application_{argc_, argv_};
    std::unique_ptr<WindowApplication> program;
};
