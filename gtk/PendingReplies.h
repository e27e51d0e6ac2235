#pragma once
// The replies owed to the movie, one per request in hand. Requests nest: a
// request that arrives while an earlier one is being handled is answered
// before the earlier one returns, so the owed replies form a stack and a reply
// set by the program belongs to the innermost request.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quillfen {

template <typename Handle>
class PendingReplies {
 public:
  // A request arrived: its reply is owed from now on.
  void Push(Handle handle) { stack_.push_back(Entry{std::move(handle), std::nullopt}); }

  // The program's reply to the innermost request; a later reply to the same
  // request replaces an earlier one. False when no request is in hand.
  bool SetInnermost(std::string reply) {
    if (stack_.empty()) return false;
    stack_.back().reply = std::move(reply);
    return true;
  }

  // The innermost request has been handled: its handle and its reply (none
  // when the program set none), to be sent back now.
  std::pair<Handle, std::optional<std::string>> Pop() {
    Entry entry = std::move(stack_.back());
    stack_.pop_back();
    return {std::move(entry.handle), std::move(entry.reply)};
  }

  bool Empty() const { return stack_.empty(); }

 private:
  struct Entry {
    Handle handle;
    std::optional<std::string> reply;
  };
  std::vector<Entry> stack_;
};

}  // namespace quillfen
