#pragma once
#include "interfaces/HttpClient.h"

#include <map>
#include <memory>

class QNetworkAccessManager;
class HttpExchange;

// HTTP over Qt Network. A synchronous call runs its exchange in a local event loop of the calling
// thread; started requests share one network manager on the thread that made the first of them,
// which is where their reports arrive. A QCoreApplication must exist.
class QtHttpClient : public HttpClient {
public:
    QtHttpClient();
    // Stops the running requests without reporting them.
    ~QtHttpClient() override;
    QtHttpClient(const QtHttpClient&) = delete;
    QtHttpClient& operator=(const QtHttpClient&) = delete;

    HttpResponse send(const HttpRequest& request) override;
    RequestId start(const HttpRequest& request, HttpCallbacks callbacks) override;
    void cancel(RequestId request) override;

private:
    std::unique_ptr<QNetworkAccessManager> manager_;
    std::map<RequestId, std::unique_ptr<HttpExchange>> running_;
    RequestId lastId_ = 0;
};
