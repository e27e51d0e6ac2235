#include "posix/Workers.h"

namespace quillfen::posix {

Workers::~Workers() {
  Wait();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  work_.notify_all();
  for (std::thread& thread : pool_) thread.join();
}

void Workers::Add(std::function<void()> task) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    tasks_.push_back(std::move(task));
    // A thread more while there are tasks waiting and room for one.
    if (pool_.size() < threads_ && tasks_.size() + running_ > pool_.size()) pool_.emplace_back([this] { Run(); });
  }
  work_.notify_one();
}

void Workers::Wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  idle_.wait(lock, [&] { return tasks_.empty() && running_ == 0; });
}

void Workers::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    work_.wait(lock, [&] { return !tasks_.empty() || stopping_; });
    if (tasks_.empty()) return;
    std::function<void()> task = std::move(tasks_.front());
    tasks_.pop_front();
    ++running_;
    lock.unlock();
    task();
    lock.lock();
    --running_;
    if (tasks_.empty() && running_ == 0) idle_.notify_all();
  }
}

}  // namespace quillfen::posix
