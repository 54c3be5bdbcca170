#pragma once
#include <string>
#include <utility>
#include <vector>

// An HTTP exchange as the core describes it; the platform sends it.
struct HttpRequest {
    std::string method = "GET";
    std::string url;
    // Sent in this order, as given.
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    // The whole exchange, from sending to the last byte of the answer; 0: no limit.
    double timeoutSeconds = 0.0;
};

struct HttpResponse {
    // An answer came back, whatever its status (an error status is an answer too).
    bool answered = false;
    int status = 0;
    std::string body;
    // Why no answer came (refused, timed out, dropped); empty when answered.
    std::string error;
};

class HttpClient {
public:
    virtual ~HttpClient() = default;
    // Sends the request and returns its outcome, at the latest when its time-out has passed. Any
    // thread may call it; the calling thread only waits (it runs no events meanwhile).
    virtual HttpResponse send(const HttpRequest& request) = 0;
};
