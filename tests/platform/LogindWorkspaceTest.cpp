#include "platform/LogindWorkspace.h"

#include "support/QtWait.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QProcess>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

// Stands in for logind: hands out the write end of a pipe as the inhibitor, so that the test sees
// when the holder closes it.
class FakeLogin : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    std::vector<QStringList> requests;
    std::vector<int> readEnds;
    ~FakeLogin() override {
        for (int fd : readEnds) ::close(fd);
    }
    // Whether the holder of the n-th inhibitor has let it go.
    bool released(std::size_t n) const {
        pollfd fd{readEnds.at(n), POLLIN, 0};
        return ::poll(&fd, 1, 0) == 1 && (fd.revents & POLLHUP);
    }
public slots:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why, const QString& mode) {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) return {};
        requests.push_back({what, who, why, mode});
        readEnds.push_back(ends[0]);
        QDBusUnixFileDescriptor handed(ends[1]);  // a copy travels; ours closes now
        ::close(ends[1]);
        return handed;
    }
};

namespace {

// A D-Bus daemon of the test's own; QProcess stops it by its pid.
class PrivateBus : public QProcess {
public:
    PrivateBus() {
        start("dbus-daemon", {"--session", "--nofork", "--print-address"});
        if (waitForReadyRead(10000)) address = QString::fromUtf8(readLine()).trimmed();
    }
    ~PrivateBus() override {
        terminate();
        waitForFinished();
    }
    QDBusConnection connect(const char* name) const { return QDBusConnection::connectToBus(address, name); }
    QString address;
};

class SleepLog : public Workspace::SleepObserver {
public:
    std::vector<std::string> events;
    void workspaceWillSleep() override { events.push_back("will sleep"); }
    void workspaceDidWake() override { events.push_back("did wake"); }
};

class LogindWorkspaceTest : public QtTestCase {
    TempHome home_;
};

}  // namespace

TEST_F(LogindWorkspaceTest, SleepWaitsUntilAllowedAndTheDelayIsTakenAgainAfterWaking) {
    PrivateBus bus;
    ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon did not start";
    QDBusConnection loginSide = bus.connect("login-side");
    FakeLogin login;
    ASSERT_TRUE(loginSide.registerService("org.freedesktop.login1"));
    ASSERT_TRUE(loginSide.registerObject("/org/freedesktop/login1", &login, QDBusConnection::ExportAllSlots));
    const auto prepareForSleep = [&](bool goingToSleep) {
        QDBusMessage signal = QDBusMessage::createSignal("/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                                                         "PrepareForSleep");
        signal << goingToSleep;
        ASSERT_TRUE(loginSide.send(signal));
    };
    {
        LogindWorkspace workspace(bus.connect("program-side"));
        SleepLog log;
        workspace.setSleepObserver(&log);
        ASSERT_TRUE(spinUntil([&] { return workspace.holdsSleepDelay(); }, 10.0));
        ASSERT_EQ(login.requests.size(), 1u);
        EXPECT_EQ(login.requests[0][0], "sleep");
        EXPECT_EQ(login.requests[0][3], "delay");

        // Going to sleep: the observer hears of it, and the delay holds until it allows sleep.
        prepareForSleep(true);
        ASSERT_TRUE(spinUntil([&] { return !log.events.empty(); }, 10.0));
        EXPECT_FALSE(login.released(0));
        workspace.allowSleep();
        EXPECT_TRUE(login.released(0));

        // Woken: told, and a new delay for the next sleep.
        prepareForSleep(false);
        ASSERT_TRUE(spinUntil([&] { return log.events.size() == 2 && workspace.holdsSleepDelay(); }, 10.0));
        EXPECT_EQ(log.events, (std::vector<std::string>{"will sleep", "did wake"}));
        ASSERT_EQ(login.requests.size(), 2u);

        // Without an observer the delay goes at once.
        workspace.setSleepObserver(nullptr);
        prepareForSleep(true);
        ASSERT_TRUE(spinUntil([&] { return login.released(1); }, 10.0));
        EXPECT_EQ(log.events.size(), 2u);
    }
    QDBusConnection::disconnectFromBus("program-side");
    QDBusConnection::disconnectFromBus("login-side");
}

#include "LogindWorkspaceTest.moc"
