#pragma once
#include "interfaces/Workspace.h"

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>

// Workspace on systemd-logind over D-Bus: its PrepareForSleep signal gives sleep and wake, and a
// "delay" inhibitor held while the program runs gives it time to pause first. Without a bus, or
// without logind on it, there are no sleep events (said once in the log).
class LogindWorkspace final : public QObject, public Workspace {
    Q_OBJECT
public:
    // The system bus by default; tests pass a private one.
    explicit LogindWorkspace(QDBusConnection bus = QDBusConnection::systemBus());
    ~LogindWorkspace() override;

    void setSleepObserver(SleepObserver* observer) override { observer_ = observer; }
    void allowSleep() override;
    bool openAddress(const std::string& address) override;

    // Whether the sleep delay is held now.
    bool holdsSleepDelay() const { return delay_.isValid(); }

private slots:
    void prepareForSleep(bool goingToSleep);

private:
    void takeSleepDelay();

    QDBusConnection bus_;
    SleepObserver* observer_ = nullptr;
    QDBusUnixFileDescriptor delay_;
    bool asking_ = false;
};
