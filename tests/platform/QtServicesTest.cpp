// What the controller gets from Qt: timers, long work off the main thread, the message box.
#include "Utility/StringTables.h"
#include "platform/BackgroundWork.h"
#include "platform/QtMessageBoxPresenter.h"
#include "platform/QtScheduler.h"
#include "support/MemoryPreferences.h"
#include "support/QtWait.h"
#include "support/TempHome.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

#include <atomic>
#include <chrono>
#include <thread>

namespace {
class QtServices : public QtTestCase {};
}  // namespace

TEST_F(QtServices, TimersFireOnTheLoopNotInsideTheStartingCallAndNeverOnceCancelledEvenFromInsideATimer) {
    QtScheduler scheduler;
    std::vector<std::string> fired;
    scheduler.startOneShot(0.0, [&] { fired.push_back("at once"); });
    EXPECT_TRUE(fired.empty());
    Scheduler::TimerId self = 0;
    int runs = 0;
    self = scheduler.startRepeating(0.005, [&] {  // cancels itself on its second run
        fired.push_back("repeating");
        if (++runs == 2) scheduler.cancel(self);
    });
    const auto victim = scheduler.startOneShot(0.3, [&] { fired.push_back("victim"); });
    scheduler.startOneShot(0.05, [&] {  // cancels another and starts the next from inside its action
        scheduler.cancel(victim);
        scheduler.cancel(victim);  // twice, and an unknown one: nothing
        scheduler.cancel(12345);
        scheduler.startOneShot(0.01, [&] { fired.push_back("next"); });
    });
    spinFor(0.5);
    EXPECT_EQ(fired, (std::vector<std::string>{"at once", "repeating", "repeating", "next"}));
}

TEST_F(QtServices, BackgroundWorkRunsElsewhereWhileTheCallerKeepsHandlingEvents) {
    std::atomic<bool> timerFired{false};
    QtScheduler scheduler;
    scheduler.startOneShot(0.01, [&] { timerFired = true; });
    std::thread::id worker;
    pmRunInBackground([&] {
        worker = std::this_thread::get_id();
        // The caller's timer can only fire if its thread handles events meanwhile.
        for (int i = 0; i < 1000 && !timerFired; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    });
    EXPECT_NE(worker, std::this_thread::get_id());
    EXPECT_TRUE(timerFired);
    int runs = 0;
    pmRunInBackground([&] { ++runs; });  // work that ends at once still returns
    EXPECT_EQ(runs, 1);
}

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
