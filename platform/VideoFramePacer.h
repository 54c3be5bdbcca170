#pragma once
#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <vector>

// Shows the pictures of the window's movie views at the moment each is due, from one timer: the
// pictures that fall due within a few milliseconds of each other are presented in the same turn of
// the event loop, so that their views repaint in one paint pass and reach the screen together (the
// front and rear cameras of a pair never show a frame apart for want of a repaint).
class VideoFramePacer : public QObject {
public:
    using Clock = std::chrono::steady_clock;
    // Pictures due this close together are presented together.
    static constexpr std::chrono::milliseconds kTogether{6};

    VideoFramePacer();

    // `present` runs when `due` comes (at once when it has passed). A view waits for one picture
    // at a time: a new request replaces its earlier one.
    void schedule(const void* view, Clock::time_point due, std::function<void()> present);
    void cancel(const void* view);

private:
    struct Waiting {
        const void* view;
        Clock::time_point due;
        std::function<void()> present;
    };

    void presentDue();
    void arm();

    std::vector<Waiting> waiting_;
    QTimer timer_;
};
