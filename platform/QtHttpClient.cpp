#include "platform/QtHttpClient.h"

#include "platform/HttpExchange.h"

#include <QEventLoop>
#include <QNetworkAccessManager>

QtHttpClient::QtHttpClient() = default;

QtHttpClient::~QtHttpClient() {
    running_.clear();
}

HttpResponse QtHttpClient::send(const HttpRequest& request) {
    // Per thread: the connectivity probe also runs on worker threads.
    thread_local bool waiting = false;
    if (waiting) {
        HttpResponse busy;
        busy.error = "another request is still waiting for its answer";
        return busy;
    }
    waiting = true;
    HttpResponse response;
    {
        QNetworkAccessManager manager;
        QEventLoop loop;
        HttpExchange exchange(manager, request, {{}, {}, [&](const HttpResponse& outcome) {
                                                     response = outcome;
                                                     loop.quit();
                                                 }});
        // Timers and painting go on; clicks and keys wait until the answer is in.
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    waiting = false;
    return response;
}

HttpClient::RequestId QtHttpClient::start(const HttpRequest& request, HttpCallbacks callbacks) {
    if (!manager_) manager_ = std::make_unique<QNetworkAccessManager>();
    const RequestId id = ++lastId_;
    auto finished = std::move(callbacks.finished);
    callbacks.finished = [this, id, finished = std::move(finished)](const HttpResponse& response) {
        // Removed before the report, so that the receiver may start the next request from it.
        auto ended = running_.extract(id);
        if (finished) finished(response);
        if (!ended.empty()) ended.mapped().release()->deleteLater();
    };
    running_.emplace(id, std::make_unique<HttpExchange>(*manager_, request, std::move(callbacks)));
    return id;
}

void QtHttpClient::cancel(RequestId request) { running_.erase(request); }
