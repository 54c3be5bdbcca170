#include "platform/NetworkConnectivity.h"

#include "sharing/ConnectivityCheck.h"

NetworkConnectivity::NetworkConnectivity(HttpClient& http, std::string probeAddress, RouteTables routes)
    : http_(http), probeAddress_(std::move(probeAddress)), routes_(std::move(routes)) {}

NetworkConnectivity::~NetworkConnectivity() {
    for (std::thread& check : checks_) check.join();
}

bool NetworkConnectivity::isInternetConnected() {
    return pmIsInternetConnected(Reachability::reachabilityForInternetConnection(routes_), [this](double timeout) {
        return pmIsGoogleAvailable(http_, probeAddress_, timeout);
    });
}

void NetworkConnectivity::checkInBackground(std::function<void(bool)> answer) {
    checks_.emplace_back([this, answer = std::move(answer)] {
        const bool connected = isInternetConnected();
        // Queued to this object: dropped with it if it is gone before the loop delivers.
        QMetaObject::invokeMethod(this, [answer, connected] { answer(connected); }, Qt::QueuedConnection);
    });
}
