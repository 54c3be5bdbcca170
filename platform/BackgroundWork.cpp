#include "platform/BackgroundWork.h"

#include <QEventLoop>
#include <QMetaObject>

#include <thread>

void pmRunInBackground(const std::function<void()>& work) {
    QEventLoop loop;
    std::thread worker([&] {
        work();
        // Queued, so that it also ends a loop that has not started yet.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
}
