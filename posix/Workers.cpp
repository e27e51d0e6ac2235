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
  std::vector<std::function<void()>> one;
  one.push_back(std::move(task));
  Add(std::move(one));
}

void Workers::Add(std::vector<std::function<void()>> tasks) {
  if (tasks.empty()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (std::function<void()>& task : tasks) tasks_.push_back(std::move(task));
    // More threads while there are tasks waiting and room for them.
    while (pool_.size() < threads_ && tasks_.size() + running_ > pool_.size()) pool_.emplace_back([this] { Run(); });
  }
  if (tasks.size() == 1)
    work_.notify_one();
  else
    work_.notify_all();
}

void Workers::Wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  ended_.wait(lock, [&] { return tasks_.empty() && running_ == 0; });
}

void Workers::WaitUntil(const std::function<bool()>& done) {
  std::unique_lock<std::mutex> lock(mutex_);
  ended_.wait(lock, done);
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
    ended_.notify_all();
  }
}

}  // namespace quillfen::posix
