#pragma once
// A few threads that each own a page converter for a whole build. The calling thread hands
// them a batch of tasks and waits, letting its own events run so the windows keep painting.

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "web/site_conversion.h"

namespace arbor::web {

class WorkerPool {
  public:
    using Task = std::function<void(int index, PageConverter& converter)>;

    // threads <= 0: one per core.
    WorkerPool(const SiteConversion& conversion, int threads);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Runs task(i) for i in [0, count) on the workers and returns when all are done.
    void run(int count, const Task& task) {
        start(count, task);
        wait();
    }
    // The same in two halves, so the calling thread can work meanwhile; the task must
    // live until wait() returns.
    void start(int count, const Task& task);
    void wait();

  private:
    void work();

    const SiteConversion& conversion_;
    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    const Task* task_ = nullptr;
    int count_ = 0;
    int next_ = 0;
    int done_ = 0;
    unsigned batch_ = 0;
    bool quit_ = false;
};

}  // namespace arbor::web
