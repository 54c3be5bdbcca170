#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

// Plays the user on the modal dialogs that open one after another: each step waits for a modal
// widget other than the one the step before it handled, and acts on it (a dialog it opens from
// there is the next step's). A test that never sees its dialog fails instead of hanging: after 20 s
// without one the open modal widgets are closed.
class ModalDriver {
public:
    using Step = std::function<void(QWidget* modal)>;

    explicit ModalDriver(std::vector<Step> steps) : steps_(std::move(steps)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        timer_.start(10);
    }
    bool done() const { return next_ == steps_.size(); }

private:
    void tick() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == last_) {
            if (++idle_ > 2000) {
                timer_.stop();
                ADD_FAILURE() << "step " << next_ << " of " << steps_.size() << ": no modal dialog appeared";
                if (modal) modal->close();
            }
            return;
        }
        idle_ = 0;
        last_ = modal;
        const Step& step = steps_[next_++];
        if (done()) timer_.stop();
        // From an event of its own: a dialog the step opens runs a nested loop, and Qt does not fire
        // this timer again while its own timeout is being handled.
        QTimer::singleShot(0, modal, [&step, modal] { step(modal); });
    }

    std::vector<Step> steps_;
    std::size_t next_ = 0;
    int idle_ = 0;
    QPointer<QWidget> last_;  // null again once that dialog is gone, whatever comes at its address
    QTimer timer_;
};
