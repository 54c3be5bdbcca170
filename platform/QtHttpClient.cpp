#include "platform/QtHttpClient.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

#include <chrono>
#include <future>

namespace {

constexpr const char* kTimedOut = "timed out";

// The exchange itself, on the calling (worker) thread, which runs its own event loop meanwhile.
HttpResponse exchange(const HttpRequest& request) {
    QNetworkAccessManager manager;
    QNetworkRequest wire(QUrl(QString::fromStdString(request.url)));
    for (const auto& [name, value] : request.headers)
        wire.setRawHeader(QByteArray::fromStdString(name), QByteArray::fromStdString(value));
    QNetworkReply* reply =
        manager.sendCustomRequest(wire, QByteArray::fromStdString(request.method), QByteArray::fromStdString(request.body));

    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    bool timedOut = false;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, reply, [&] {
        timedOut = true;
        reply->abort();
    });
    if (request.timeoutSeconds > 0) deadline.start(std::chrono::milliseconds(qint64(request.timeoutSeconds * 1000)));
    if (!reply->isFinished()) loop.exec();

    HttpResponse response;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    // Qt reports 4xx and 5xx answers as errors of their own ranges; only the transport's errors
    // (below 100) and an abort mean that no whole answer came.
    const bool transportFailed = reply->error() != QNetworkReply::NoError && reply->error() < 100;
    if (status.isValid() && !transportFailed && !timedOut) {
        response.answered = true;
        response.status = status.toInt();
        response.body = reply->readAll().toStdString();
    } else {
        response.error = timedOut ? kTimedOut : reply->errorString().toStdString();
    }
    delete reply;
    return response;
}

}  // namespace

QtHttpClient::~QtHttpClient() {
    std::lock_guard lock(mutex_);
    for (Worker& worker : workers_) worker.thread.join();
}

void QtHttpClient::joinFinishedWorkers() {
    for (auto it = workers_.begin(); it != workers_.end();) {
        if (it->done->load()) {
            it->thread.join();
            it = workers_.erase(it);
        } else {
            ++it;
        }
    }
}

HttpResponse QtHttpClient::send(const HttpRequest& request) {
    auto outcome = std::make_shared<std::promise<HttpResponse>>();
    std::future<HttpResponse> answer = outcome->get_future();
    {
        std::lock_guard lock(mutex_);
        joinFinishedWorkers();
        auto done = std::make_shared<std::atomic<bool>>(false);
        workers_.push_back({std::thread([request, outcome, done] {
                                outcome->set_value(exchange(request));
                                done->store(true);
                            }),
                            done});
    }
    if (request.timeoutSeconds > 0 &&
        answer.wait_for(std::chrono::duration<double>(request.timeoutSeconds)) != std::future_status::ready) {
        HttpResponse late;
        late.error = kTimedOut;
        return late;
    }
    return answer.get();
}
