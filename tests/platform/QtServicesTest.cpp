// What the controller gets from Qt: timers, long work off the main thread, the message box.
#include "Utility/StringTables.h"
#include "platform/BackgroundWork.h"
#include "platform/QtMessageBoxPresenter.h"
#include "platform/QtScheduler.h"
#include "support/MemoryPreferences.h"
#include "support/QtWait.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

#include <atomic>
#include <chrono>
#include <thread>

namespace {
class QtServices : public QtTestCase {};
}  // namespace

TEST_F(QtServices, TimersFireOnTheLoopNeverInsideTheStartingCallAndNeverOnceCancelledFromAnywhere) {
    QtScheduler scheduler;
    const double start = scheduler.now();
    std::vector<std::string> fired;
    int ticks = 0;
    const auto repeating = scheduler.startRepeating(0.01, [&] { ++ticks; });
    scheduler.startOneShot(0.0, [&] { fired.push_back("at once"); });
    EXPECT_TRUE(fired.empty());
    const auto early = scheduler.startOneShot(0.02, [&] { fired.push_back("cancelled"); });
    scheduler.cancel(early);
    scheduler.cancel(early);  // twice, and an unknown one: nothing
    scheduler.cancel(12345);
    Scheduler::TimerId self = 0;  // a repeating timer that cancels itself on its second run
    int selfRuns = 0;
    self = scheduler.startRepeating(0.005, [&] {
        if (++selfRuns == 2) scheduler.cancel(self);
    });
    // A one-shot that cancels another and starts the next from inside its action.
    const auto victim = scheduler.startOneShot(0.3, [&] { fired.push_back("victim"); });
    scheduler.startOneShot(0.05, [&] {
        fired.push_back("first");
        scheduler.cancel(victim);
        scheduler.startOneShot(0.01, [&] { fired.push_back("second"); });
    });
    ASSERT_TRUE(spinUntil([&] { return fired.size() >= 3 && ticks >= 4; }));
    scheduler.cancel(repeating);
    const int stoppedAt = ticks;
    spinFor(0.4);
    EXPECT_EQ(fired, (std::vector<std::string>{"at once", "first", "second"}));
    EXPECT_EQ(selfRuns, 2);
    EXPECT_EQ(ticks, stoppedAt);
    EXPECT_GT(scheduler.now(), start);
}

TEST_F(QtServices, BackgroundWorkRunsElsewhereWhileTheCallerKeepsHandlingEvents) {
    std::atomic<bool> timerFired{false};
    QtScheduler scheduler;
    scheduler.startOneShot(0.01, [&] { timerFired = true; });
    std::thread::id worker;
    bool sawTimer = false;
    pmRunInBackground([&] {
        worker = std::this_thread::get_id();
        // The caller's timer can only fire if its thread handles events meanwhile.
        for (int i = 0; i < 1000 && !timerFired; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        sawTimer = timerFired;
    });
    EXPECT_NE(worker, std::this_thread::get_id());
    EXPECT_TRUE(sawTimer);
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
    QString title, text, button;
    Qt::TextFormat format = Qt::AutoText;
    QtScheduler scheduler;
    Scheduler::TimerId user = 0;
    user = scheduler.startRepeating(0.01, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        scheduler.cancel(user);
        title = box->windowTitle(), text = box->text(), format = box->textFormat();
        button = box->buttons().size() == 1 ? box->buttons().first()->text() : QString();
        if (!box->buttons().isEmpty()) box->buttons().first()->click();
    });
    const std::string body = "<b>50%</b> of %s & more";
    EXPECT_EQ(pmMessageBox(body, "", 16), 1);
    pmSetMessageBoxPresenter(nullptr);
    EXPECT_EQ(title.toStdString(), pmGetString("IDR_MAINFRAME"));
    EXPECT_EQ(text.toStdString(), body);
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(button, QString::fromUtf8("確定"));  // the language's own "OK"
}
