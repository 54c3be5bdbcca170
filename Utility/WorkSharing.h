#pragma once
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// A few threads that share numbered pieces of work with the calling thread, for work bound by
// system calls that cores can make side by side (opening and reading thousands of files). The
// threads live as long as the object, so a run costs a wake-up, not a thread start.
class WorkSharing {
public:
    // `helpers` threads besides the caller; 0 does everything on the caller.
    explicit WorkSharing(unsigned helpers);
    ~WorkSharing();
    WorkSharing(const WorkSharing&) = delete;
    WorkSharing& operator=(const WorkSharing&) = delete;

    // Calls work(i) once for every i below `count`, in no set order and on any of the threads, and
    // returns when every call has returned. The first exception a call throws is thrown here once
    // all have ended. One run at a time.
    void run(std::size_t count, const std::function<void(std::size_t)>& work);

    // Helpers for this machine: one fewer than its cores, at most `most`.
    static unsigned helpersForThisMachine(unsigned most);

private:
    void helperLoop();
    // Takes pieces until none is left.
    void takePieces();

    std::mutex mutex_;
    std::condition_variable wake_, finished_;
    // Set under the lock before the helpers are woken, which gives them the values.
    const std::function<void(std::size_t)>* work_ = nullptr;
    std::size_t count_ = 0;
    std::atomic<std::size_t> next_{0};
    unsigned generation_ = 0, busy_ = 0;
    bool stop_ = false;
    std::exception_ptr failure_;
    std::vector<std::thread> threads_;
};
