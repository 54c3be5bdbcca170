#pragma once
#include "Utility/Reachability.h"

#include <functional>
#include <string>

class HttpClient;

// The connectivity check: the default route first, then a short real request.

// How long the probe may take, in seconds.
inline constexpr double kConnectivityProbeTimeout = 2.0;

// True when a plain GET of `address` brings an answer back within the time-out, whatever its
// HTTP status.
bool pmIsGoogleAvailable(HttpClient& http, const std::string& address, double timeoutSeconds);

// False at once without a usable default route (no request is sent); otherwise the probe's
// answer, given `kConnectivityProbeTimeout`. Both steps are logged.
bool pmIsInternetConnected(const Reachability& route, const std::function<bool(double timeoutSeconds)>& probe);
