#include "web/worker_pool.h"

#include <QCoreApplication>
#include <QThread>
#include <chrono>

namespace arbor::web {

WorkerPool::WorkerPool(const SiteConversion& conversion, int threads) : conversion_(conversion) {
    if (threads <= 0)
        threads = std::max(1, QThread::idealThreadCount());
    threads_.reserve(threads);
    for (int i = 0; i < threads; ++i)
        threads_.emplace_back([this] { work(); });
}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : threads_)
        t.join();
}

void WorkerPool::start(int count, const Task& task) {
    std::lock_guard lock(mutex_);
    task_ = count > 0 ? &task : nullptr;
    count_ = std::max(count, 0);
    next_ = 0;
    done_ = 0;
    ++batch_;
    wake_.notify_all();
}

void WorkerPool::wait() {
    std::unique_lock lock(mutex_);
    const bool events = QCoreApplication::instance() != nullptr;
    while (done_ < count_) {
        finished_.wait_for(lock, std::chrono::milliseconds(40));
        if (events && done_ < count_) {
            lock.unlock();
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            lock.lock();
        }
    }
    task_ = nullptr;
}

void WorkerPool::work() {
    std::unique_ptr<PageConverter> converter = conversion_.converter();
    unsigned seen = 0;
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return quit_ || (batch_ != seen && next_ < count_); });
        if (quit_)
            return;
        while (task_ && next_ < count_) {
            const int index = next_++;
            const Task* task = task_;
            lock.unlock();
            (*task)(index, *converter);
            lock.lock();
            if (++done_ == count_)
                finished_.notify_all();
        }
        seen = batch_;
    }
}

}  // namespace arbor::web
