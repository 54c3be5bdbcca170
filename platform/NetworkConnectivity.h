#pragma once
#include "Utility/Reachability.h"
#include "interfaces/Connectivity.h"

#include <QObject>

#include <string>
#include <thread>
#include <vector>

class HttpClient;

// The connectivity check on this machine: the kernel's default route, then a GET of the probe
// address over the given HTTP client. Answers of background checks come through the Qt event
// loop of the thread that made the object (the main thread).
class NetworkConnectivity : public QObject, public Connectivity {
    Q_OBJECT
public:
    NetworkConnectivity(HttpClient& http, std::string probeAddress, RouteTables routes = {});
    // Waits for a background check still running (its probe ends by its time-out); its answer is
    // then dropped.
    ~NetworkConnectivity() override;

    bool isInternetConnected() override;
    void checkInBackground(std::function<void(bool connected)> answer) override;

private:
    HttpClient& http_;
    std::string probeAddress_;
    RouteTables routes_;
    std::vector<std::thread> checks_;
};
