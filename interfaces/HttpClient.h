#pragma once
#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A body read from a file while it is sent, never whole in memory: the prefix, the file's bytes,
// the suffix.
struct HttpFileBody {
    std::string prefix;
    std::string path;
    std::string suffix;
    // The body's length with a file of `fileSize` bytes.
    std::uint64_t length(std::uint64_t fileSize) const { return prefix.size() + fileSize + suffix.size(); }
};

// An HTTP exchange as the core describes it; the platform sends it. Nothing is added that could
// change it: no cookies, no cached answer, no redirect followed for anything but GET.
struct HttpRequest {
    std::string method = "GET";
    std::string url;
    // Sent in this order, as given.
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    // When set, the body comes from here instead.
    std::optional<HttpFileBody> fileBody;
    // The whole exchange, from sending to the last byte of the answer; 0: no limit.
    double timeoutSeconds = 0.0;
    // Ends the exchange when no byte was sent or received for this long; 0: never.
    double idleTimeoutSeconds = 0.0;
};

struct HttpResponse {
    // An answer came back, whatever its status (an error status is an answer too).
    bool answered = false;
    int status = 0;
    std::string body;
    // The answer's headers in the order they came.
    std::vector<std::pair<std::string, std::string>> headers;
    // Why no answer came (refused, timed out, dropped); empty when answered.
    std::string error;
    // No answer because a time-out ended the exchange.
    bool timedOut = false;

    // The first header of that name (ASCII case ignored); empty when there is none.
    std::string header(const std::string& name) const {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        for (const auto& [key, value] : headers)
            if (key.size() == name.size() &&
                std::equal(key.begin(), key.end(), name.begin(), [&](char a, char b) { return lower(a) == lower(b); }))
                return value;
        return {};
    }
};

// What an asynchronous exchange reports, on the thread that started it, each later than the call
// that caused it. Any of them may be empty.
struct HttpCallbacks {
    // Body bytes handed to the network so far, and the body's length.
    std::function<void(std::int64_t sent, std::int64_t total)> bodySent;
    // A piece of the answer's body as it arrives; the finished response holds it too.
    std::function<void(const std::string& data)> dataReceived;
    // The end, answered or not; the last report of the exchange.
    std::function<void(const HttpResponse& response)> finished;
};

class HttpClient {
public:
    using RequestId = std::uint64_t;

    virtual ~HttpClient() = default;
    // Sends the request and returns its outcome, at the latest when its time-out has passed. On the
    // thread that runs the window it keeps the window drawn but holds user input meanwhile; a
    // second synchronous call from inside the first fails at once instead of nesting.
    virtual HttpResponse send(const HttpRequest& request) = 0;
    // Starts the request and returns at once; the thread that calls it must run an event loop.
    virtual RequestId start(const HttpRequest& request, HttpCallbacks callbacks) = 0;
    // Stops a started request: nothing of it is reported afterwards. An ended one is ignored.
    virtual void cancel(RequestId request) = 0;
};
