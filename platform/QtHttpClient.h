#pragma once
#include "interfaces/HttpClient.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// HTTP over Qt Network. Each exchange runs on a worker thread of its own with its own event loop,
// so the caller only waits: no nested event loop on the GUI thread, no timer, notification or
// click re-entering the caller while it waits. A QCoreApplication must exist.
class QtHttpClient : public HttpClient {
public:
    QtHttpClient() = default;
    // Waits for exchanges whose caller stopped waiting; each ends by its own time-out.
    ~QtHttpClient() override;
    QtHttpClient(const QtHttpClient&) = delete;
    QtHttpClient& operator=(const QtHttpClient&) = delete;

    HttpResponse send(const HttpRequest& request) override;

private:
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    void joinFinishedWorkers();

    std::mutex mutex_;
    std::vector<Worker> workers_;
};
