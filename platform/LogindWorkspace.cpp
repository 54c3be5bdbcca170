#include "platform/LogindWorkspace.h"

#include "Utility/DiagnosticLog.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QUrl>

#include <atomic>

namespace {

const char* const kService = "org.freedesktop.login1";
const char* const kPath = "/org/freedesktop/login1";
const char* const kManager = "org.freedesktop.login1.Manager";

// Each of these is worth one line per run, not one per attempt.
void logOnce(std::atomic<bool>& said, const std::string& message) {
    if (!said.exchange(true)) pmOutputDebugMsg(message);
}
std::atomic<bool> saidNoBus{false};
std::atomic<bool> saidNoDelay{false};

}  // namespace

LogindWorkspace::LogindWorkspace(QDBusConnection bus) : bus_(std::move(bus)) {
    if (!bus_.isConnected()) {
        logOnce(saidNoBus, "LogindWorkspace - no system bus: no sleep and wake events");
        return;
    }
    bus_.connect(kService, kPath, kManager, "PrepareForSleep", this, SLOT(prepareForSleep(bool)));
    takeSleepDelay();
}

LogindWorkspace::~LogindWorkspace() {
    if (bus_.isConnected())
        bus_.disconnect(kService, kPath, kManager, "PrepareForSleep", this, SLOT(prepareForSleep(bool)));
}

void LogindWorkspace::takeSleepDelay() {
    if (delay_.isValid() || asking_) return;
    asking_ = true;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kManager, "Inhibit");
    call << QString("sleep") << QString("Cartena Manager") << QString("Pause playback before sleep")
         << QString("delay");
    // Asynchronous: a slow or absent logind must not hold up the window.
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* finished) {
        finished->deleteLater();
        asking_ = false;
        const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *finished;
        if (reply.isError()) {
            logOnce(saidNoDelay, "LogindWorkspace - no sleep delay: " + reply.error().message().toStdString());
            return;
        }
        delay_ = reply.value();
    });
}

void LogindWorkspace::prepareForSleep(bool goingToSleep) {
    if (goingToSleep) {
        if (observer_) observer_->workspaceWillSleep();
        else allowSleep();
        return;
    }
    takeSleepDelay();
    if (observer_) observer_->workspaceDidWake();
}

void LogindWorkspace::allowSleep() {
    // Closing our copy of the descriptor is what lets logind go on.
    delay_ = QDBusUnixFileDescriptor();
}

bool LogindWorkspace::openAddress(const std::string& address) {
    const QUrl url(QString::fromStdString(address), QUrl::StrictMode);
    return url.isValid() && !url.scheme().isEmpty() && QDesktopServices::openUrl(url);
}
