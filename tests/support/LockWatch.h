// A check that a lock keeps every other flow out, which fails without the
// thread sanitizer too: a watcher thread takes the lock again and again,
// reads the records, lets a moment pass and reads them once more. A flow
// that changed them in between did so without holding the lock. The counts
// are the watcher's own, read after it has ended.
#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

class LockWatch {
public:
    // Starts watching; `read` returns the records as a value comparable
    // with ==, and is called only while the watcher holds `lock`.
    template <typename Read>
    LockWatch(std::mutex &lock, Read read) : watcher([this, &lock, read] { Watch(lock, read); })
    {
    }
    ~LockWatch() { Finish(); }

    // Ends the watch; the counts are final once it returns.
    void Finish()
    {
        isDone = true;
        if (watcher.joinable())
            watcher.join();
    }
    long Looks() const { return looks; }
    long ChangesUnderTheLock() const { return changes; }

private:
    template <typename Read>
    void Watch(std::mutex &lock, Read read)
    {
        do {
            {
                std::lock_guard<std::mutex> guard(lock);
                auto before = read();
                std::this_thread::sleep_for(std::chrono::microseconds(50));
                if (!(read() == before))
                    changes++;
                looks++;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(100));  // the others' turn
        } while (!isDone);
    }

    std::atomic<bool> isDone{false};
    long looks = 0;
    long changes = 0;
    std::thread watcher;  // last: it starts once the counts exist
};
