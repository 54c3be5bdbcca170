#include "platform/LogindWorkspace.h"

#include "Utility/DiagnosticLog.h"
#include "support/QtTestCase.h"
#include "support/QtWait.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QDesktopServices>
#include <QUrl>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

// Stands in for logind on a private bus: hands out the write end of a pipe as the inhibitor, so the
// test can see when the holder closes it.
class FakeLogin : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    struct Inhibitor {
        QString what, who, why, mode;
        int readEnd = -1;
    };
    std::vector<Inhibitor> inhibitors;

    ~FakeLogin() override {
        for (const Inhibitor& inhibitor : inhibitors) ::close(inhibitor.readEnd);
    }
    // Whether the holder of the n-th inhibitor has let it go.
    bool released(std::size_t n) const {
        pollfd fd{inhibitors.at(n).readEnd, POLLIN, 0};
        return ::poll(&fd, 1, 0) == 1 && (fd.revents & POLLHUP);
    }

public slots:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why, const QString& mode) {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) return {};
        inhibitors.push_back({what, who, why, mode, ends[0]});
        QDBusUnixFileDescriptor handed(ends[1]);  // a copy travels; ours closes now
        ::close(ends[1]);
        return handed;
    }
};

namespace {

// A dbus-daemon of our own, stopped by its pid.
class PrivateBus {
public:
    PrivateBus() {
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        char program[] = "dbus-daemon";
        char session[] = "--session";
        char nofork[] = "--nofork";
        char print[] = "--print-address";
        char* argv[] = {program, session, nofork, print, nullptr};
        if (posix_spawnp(&pid_, program, &actions, nullptr, argv, environ) != 0) pid_ = 0;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        char c;
        while (pid_ > 0 && ::read(out[0], &c, 1) == 1 && c != '\n') address_ += c;
        ::close(out[0]);
    }
    ~PrivateBus() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status;
            ::waitpid(pid_, &status, 0);
        }
    }
    const std::string& address() const { return address_; }

private:
    pid_t pid_ = 0;
    std::string address_;
};

class SleepLog : public Workspace::SleepObserver {
public:
    std::vector<std::string> events;
    Workspace* workspace = nullptr;
    bool allowAtOnce = false;
    void workspaceWillSleep() override {
        events.push_back("will sleep");
        if (allowAtOnce) workspace->allowSleep();
    }
    void workspaceDidWake() override { events.push_back("did wake"); }
};

class LogindWorkspaceTest : public QtTestCase {
protected:
    void emitPrepareForSleep(QDBusConnection& connection, bool goingToSleep) {
        QDBusMessage signal = QDBusMessage::createSignal("/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                                                         "PrepareForSleep");
        signal << goingToSleep;
        ASSERT_TRUE(connection.send(signal));
    }
    TempHome home_;
};

int countLines(const std::string& text, const std::string& needle) {
    int count = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++count;
    return count;
}

}  // namespace

TEST_F(LogindWorkspaceTest, SleepIsDelayedUntilAllowedAndTheDelayIsTakenAgainAfterWake) {
    PrivateBus bus;
    ASSERT_FALSE(bus.address().empty()) << "dbus-daemon did not start";
    QDBusConnection loginSide = QDBusConnection::connectToBus(QString::fromStdString(bus.address()), "login-side");
    ASSERT_TRUE(loginSide.isConnected());
    FakeLogin login;
    ASSERT_TRUE(loginSide.registerService("org.freedesktop.login1"));
    ASSERT_TRUE(loginSide.registerObject("/org/freedesktop/login1", &login, QDBusConnection::ExportAllSlots));
    {
        LogindWorkspace workspace(QDBusConnection::connectToBus(QString::fromStdString(bus.address()), "program-side"));
        SleepLog log;
        log.workspace = &workspace;
        workspace.setSleepObserver(&log);

        ASSERT_TRUE(spinUntil([&] { return workspace.holdsSleepDelay(); }, 10.0));
        ASSERT_EQ(login.inhibitors.size(), 1u);
        EXPECT_EQ(login.inhibitors[0].what, "sleep");
        EXPECT_EQ(login.inhibitors[0].mode, "delay");
        EXPECT_FALSE(login.released(0));

        // Going to sleep: the observer hears of it; the delay holds until it says so.
        emitPrepareForSleep(loginSide, true);
        ASSERT_TRUE(spinUntil([&] { return !log.events.empty(); }, 10.0));
        EXPECT_EQ(log.events, (std::vector<std::string>{"will sleep"}));
        EXPECT_FALSE(login.released(0));
        workspace.allowSleep();
        EXPECT_TRUE(login.released(0));

        // Woken: told, and a new delay for the next sleep.
        emitPrepareForSleep(loginSide, false);
        ASSERT_TRUE(spinUntil([&] { return log.events.size() == 2 && login.inhibitors.size() == 2; }, 10.0));
        EXPECT_EQ(log.events.back(), "did wake");
        ASSERT_TRUE(spinUntil([&] { return workspace.holdsSleepDelay(); }, 10.0));

        // Without an observer the delay goes at once.
        workspace.setSleepObserver(nullptr);
        emitPrepareForSleep(loginSide, true);
        ASSERT_TRUE(spinUntil([&] { return login.released(1); }, 10.0));
        EXPECT_EQ(log.events.size(), 2u);
    }
    QDBusConnection::disconnectFromBus("program-side");
    QDBusConnection::disconnectFromBus("login-side");
}

TEST_F(LogindWorkspaceTest, WithoutLogindOrWithoutABusThereAreNoSleepEventsAndOneLogLine) {
    PrivateBus bus;
    ASSERT_FALSE(bus.address().empty());
    {
        LogindWorkspace workspace(QDBusConnection::connectToBus(QString::fromStdString(bus.address()), "no-login"));
        SleepLog log;
        workspace.setSleepObserver(&log);
        spinFor(0.5);
        EXPECT_FALSE(workspace.holdsSleepDelay());
        workspace.allowSleep();  // harmless without a delay
        EXPECT_TRUE(log.events.empty());
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        LogindWorkspace workspace(QDBusConnection::connectToBus("unix:path=/nonexistent/bus", "no-bus"));
        EXPECT_FALSE(workspace.holdsSleepDelay());
        QDBusConnection::disconnectFromBus("no-bus");
    }
    QDBusConnection::disconnectFromBus("no-login");
    const std::string text = readFile(pmLogFilePath());
    EXPECT_EQ(countLines(text, "LogindWorkspace - no sleep delay: "), 1) << text;
    EXPECT_EQ(countLines(text, "LogindWorkspace - no system bus: no sleep and wake events"), 1) << text;
}

class AddressCatcher : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.push_back(url); }
};

TEST_F(LogindWorkspaceTest, OpenAddressHandsTheWholeAddressToTheSchemesHandler) {
    LogindWorkspace workspace(QDBusConnection::connectToBus("unix:path=/nonexistent/bus", "open-test"));
    AddressCatcher catcher;
    QDesktopServices::setUrlHandler("cartena-store", &catcher, "open");
    EXPECT_TRUE(workspace.openAddress("cartena-store://apps/id123?mt=12&ls=1"));
    ASSERT_EQ(catcher.urls.size(), 1u);
    EXPECT_EQ(catcher.urls[0].toString(), "cartena-store://apps/id123?mt=12&ls=1");
    // Not an address: nothing is opened.
    EXPECT_FALSE(workspace.openAddress("no scheme here"));
    EXPECT_FALSE(workspace.openAddress(""));
    EXPECT_EQ(catcher.urls.size(), 1u);
    QDesktopServices::unsetUrlHandler("cartena-store");
    QDBusConnection::disconnectFromBus("open-test");
}

#include "LogindWorkspaceTest.moc"
