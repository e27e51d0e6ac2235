#pragma once
// Counts the program's handlers on the call stack (timer ticks, menu clicks,
// the movie's requests, which nest because a move pumps events), so that a
// window closed during a move is torn down only when the outermost handler
// has returned and nothing of the move is still running.
#include <functional>
#include <utility>

namespace quillfen {

class HandlerNesting {
 public:
  // Runs the action now when no handler is running, else when the outermost
  // one returns.
  void WhenIdle(std::function<void()> action) {
    if (depth_ == 0) {
      action();
      return;
    }
    deferred_ = std::move(action);
  }
  bool Idle() const { return depth_ == 0; }

  // Marks one handler on the stack for its lifetime.
  class Scope {
   public:
    explicit Scope(HandlerNesting& nesting) : nesting_(nesting) { ++nesting_.depth_; }
    ~Scope() {
      if (--nesting_.depth_ == 0 && nesting_.deferred_) {
        auto action = std::move(nesting_.deferred_);
        nesting_.deferred_ = nullptr;
        action();
      }
    }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    HandlerNesting& nesting_;
  };

 private:
  int depth_ = 0;
  std::function<void()> deferred_;
};

}  // namespace quillfen
