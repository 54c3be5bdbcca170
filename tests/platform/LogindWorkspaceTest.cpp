#include "platform/LogindWorkspace.h"

#include "Utility/DiagnosticLog.h"

#include "support/QtWait.h"
#include "support/TempHome.h"

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
    std::vector<QString> requests;  // what and how
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
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString&, const QString&, const QString& mode) {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) return {};
        requests.push_back(what + " " + mode);
        readEnds.push_back(ends[0]);
        QDBusUnixFileDescriptor handed(ends[1]);  // a copy travels; ours closes now
        ::close(ends[1]);
        return handed;
    }
};

namespace {

struct SleepLog : Workspace::SleepObserver {
    std::vector<std::string> events;
    void workspaceWillSleep() override { events.push_back("will sleep"); }
    void workspaceDidWake() override { events.push_back("did wake"); }
};

class LogindWorkspaceTest : public QtTestCase {
    TempHome home_;
};

}  // namespace

TEST_F(LogindWorkspaceTest, SleepWaitsUntilAllowedAndTheDelayIsTakenAgainAfterWaking) {
    QProcess bus;  // a D-Bus daemon of the test's own, killed by its pid when the test ends
    bus.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
    ASSERT_TRUE(bus.waitForReadyRead(10000)) << "dbus-daemon did not start";
    const QString address = QString::fromUtf8(bus.readLine()).trimmed();
    // Before logind is there, or without a bus: no delay, and one log line each however often.
    for (int attempt = 0; attempt < 2; ++attempt) {
        LogindWorkspace early(QDBusConnection::connectToBus(address, "early"));
        LogindWorkspace noBus(QDBusConnection::connectToBus("unix:path=/nonexistent/bus", "no-bus"));
        spinFor(0.5);
        EXPECT_FALSE(early.holdsSleepDelay() || noBus.holdsSleepDelay());
        EXPECT_FALSE(early.openAddress("no scheme here"));
        QDBusConnection::disconnectFromBus("early");
        QDBusConnection::disconnectFromBus("no-bus");
    }
    const std::string text = readFile(pmLogFilePath());
    for (const char* line : {"LogindWorkspace - no sleep delay: ", "LogindWorkspace - no system bus: no sleep"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
        EXPECT_EQ(text.find(line), text.rfind(line)) << line;
    }
    QDBusConnection loginSide = QDBusConnection::connectToBus(address, "login-side");
    FakeLogin login;
    ASSERT_TRUE(loginSide.registerService("org.freedesktop.login1"));
    ASSERT_TRUE(loginSide.registerObject("/org/freedesktop/login1", &login, QDBusConnection::ExportAllSlots));
    const auto prepareForSleep = [&](bool goingToSleep) {
        QDBusMessage signal = QDBusMessage::createSignal("/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                                                         "PrepareForSleep");
        ASSERT_TRUE(loginSide.send(signal << goingToSleep));
    };
    {
        LogindWorkspace workspace(QDBusConnection::connectToBus(address, "program-side"));
        SleepLog log;
        workspace.setSleepObserver(&log);
        ASSERT_TRUE(spinUntil([&] { return workspace.holdsSleepDelay(); }, 10.0));
        EXPECT_EQ(login.requests, (std::vector<QString>{"sleep delay"}));

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
        EXPECT_TRUE(spinUntil([&] { return login.released(1); }, 10.0));

    }
    QDBusConnection::disconnectFromBus("program-side");
    QDBusConnection::disconnectFromBus("login-side");
}

#include "LogindWorkspaceTest.moc"
