#include "Utility/StringTables.h"
#include "platform/QtMessageBoxPresenter.h"
#include "support/MemoryPreferences.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace {

struct SeenBox {
    QString title, text;
    Qt::TextFormat format = Qt::AutoText;
    QStringList buttons;
    bool modal = false;
};

}  // namespace

TEST(QtMessageBoxPresenter, ShowsOneModalBoxWithPlainTextAndReturnsWhenItsButtonIsPressed) {
    TempHome home;
    MemoryPreferences store;
    store.values["LANGUAGE_ID"] = 1;
    int argc = 1;
    char name[] = "platform_tests";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    QtMessageBoxPresenter presenter;
    pmSetMessageBoxPresenter(&presenter);

    // Plays the user: waits for the box, notes what it shows, presses its only button.
    SeenBox seen;
    int polls = 0;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            if (++polls > 1000) {  // never shown: give up instead of hanging
                user.stop();
                ADD_FAILURE() << "no modal message box appeared";
                for (QWidget* widget : QApplication::topLevelWidgets()) widget->close();
            }
            return;
        }
        user.stop();
        seen = {box->windowTitle(), box->text(), box->textFormat(), {}, box->isModal()};
        for (QAbstractButton* button : box->buttons()) seen.buttons << button->text();
        if (!box->buttons().isEmpty()) box->buttons().first()->click();
    });
    user.start(10);

    const std::string body = "<b>50%</b> of %s & more";
    EXPECT_EQ(pmMessageBox(body, "", 16), 1);
    pmSetMessageBoxPresenter(nullptr);

    EXPECT_EQ(seen.title.toStdString(), pmGetString("IDR_MAINFRAME"));
    EXPECT_EQ(seen.text.toStdString(), body);
    EXPECT_EQ(seen.format, Qt::PlainText);
    EXPECT_TRUE(seen.modal);
    ASSERT_EQ(seen.buttons.size(), 1);
    EXPECT_EQ(seen.buttons.first().toStdString(), pmGetString("IDS_OK"));
    EXPECT_EQ(seen.buttons.first(), QString::fromUtf8("確定"));
}
