#include "sharing/ConnectivityCheck.h"

#include "Utility/DiagnosticLog.h"
#include "interfaces/HttpClient.h"

bool pmIsGoogleAvailable(HttpClient& http, const std::string& address, double timeoutSeconds) {
    HttpRequest request;
    request.url = address;
    request.timeoutSeconds = timeoutSeconds;
    return http.send(request).answered;
}

bool pmIsInternetConnected(const Reachability& route, const std::function<bool(double)>& probe) {
    if (route.currentReachabilityStatus() == NotReachable) return false;
    pmOutputDebugMsg("pmIsInternetConnected() - check website - start !");
    const bool answered = probe(kConnectivityProbeTimeout);
    pmOutputDebugMsg("pmIsInternetConnected() - check website - end !");
    return answered;
}
