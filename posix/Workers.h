#pragma once
// A few threads taking tasks in the order they come, for work that mostly
// waits for a drive (flushing copies and reading them back): while one task
// waits, the others go on, and the drive has several requests at once.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace quillfen::posix {

class Workers {
 public:
  explicit Workers(std::size_t threads) : threads_(threads) {}
  Workers(const Workers&) = delete;
  Workers& operator=(const Workers&) = delete;
  // Waits for every task, then ends the threads.
  ~Workers();

  // The task runs soon on one of the threads (started with the first tasks).
  void Add(std::function<void()> task);
  // The same for several tasks at once.
  void Add(std::vector<std::function<void()>> tasks);
  // Returns once every task added so far is done.
  void Wait();
  // Returns once `done` (asked after each task ends) is true.
  void WaitUntil(const std::function<bool()>& done);

 private:
  void Run();

  const std::size_t threads_;
  std::mutex mutex_;
  std::condition_variable work_;  // a task came, or the end
  std::condition_variable ended_;  // a task ended
  std::deque<std::function<void()>> tasks_;
  std::size_t running_ = 0;
  bool stopping_ = false;
  std::vector<std::thread> pool_;
};

}  // namespace quillfen::posix
