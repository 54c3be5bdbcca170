#include "views/MainWindow.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

TEST(MainWindow, EmptyStateShowsNoRecordingsOnBlack) {
    int argc = 1;
    char name[] = "window_tests";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    MainWindow window;
    window.show();
    QApplication::processEvents();

    EXPECT_EQ(window.statusText(), "No recordings");
    EXPECT_GE(window.width(), 980);
    EXPECT_GE(window.height(), 660);

    const QString path = saveScreenshot(window, "main-window-empty");
    ASSERT_FALSE(path.isEmpty());
    const QImage image(path);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixelColor(5, image.height() - 5), QColor(Qt::black));
}
