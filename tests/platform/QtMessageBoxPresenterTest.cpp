#include "platform/QtMessageBoxPresenter.h"

#include "Utility/StringTables.h"
#include "platform/QtScheduler.h"
#include "support/MemoryPreferences.h"
#include "support/QtWait.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

TEST(QtMessageBoxPresenter, ShowsOneModalBoxWithPlainTextInTheUsersLanguageAndReturnsWhenItsButtonIsPressed) {
    TempHome home;
    MemoryPreferences store;
    store.values["LANGUAGE_ID"] = 1;
    QApplication application(qtArgc(), qtArgv());
    QtMessageBoxPresenter presenter;
    pmSetMessageBoxPresenter(&presenter);
    // Plays the user: waits for the box, notes what it shows, presses its only button.
    QStringList seen;
    QtScheduler scheduler;
    Scheduler::TimerId user = 0;
    user = scheduler.startRepeating(0.01, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        scheduler.cancel(user);
        seen << box->windowTitle() << box->text() << (box->textFormat() == Qt::PlainText ? "plain" : "rich");
        for (QAbstractButton* button : box->buttons()) seen << button->text();
        if (!box->buttons().isEmpty()) box->buttons().first()->click();
    });
    const std::string body = "<b>50%</b> of %s & more";
    EXPECT_EQ(pmMessageBox(body, "", 16), 1);
    pmSetMessageBoxPresenter(nullptr);
    EXPECT_EQ(seen, (QStringList{QString::fromStdString(pmGetString("IDR_MAINFRAME")), QString::fromStdString(body),
                                 "plain", QString::fromUtf8("確定")}));
}
