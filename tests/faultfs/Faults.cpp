// Counting operations and applying the rules a test has set.
#include "Faults.h"

#include <fnmatch.h>

#include <sstream>

namespace faultfs {

namespace {
constexpr const char* kNames[kOpCount] = {
    "lookup", "getattr", "setattr", "mknod", "mkdir", "unlink", "rmdir", "rename", "link", "open", "read",
    "write", "flush", "release", "fsync", "opendir", "readdir", "releasedir", "fsyncdir", "statfs", "create"};
}

const char* OpName(Op op) { return kNames[static_cast<std::size_t>(op)]; }

bool IsChange(Op op) {
  switch (op) {
    case Op::Setattr: case Op::Mknod: case Op::Mkdir: case Op::Unlink: case Op::Rmdir: case Op::Rename:
    case Op::Link: case Op::Write: case Op::Fsync: case Op::Fsyncdir: case Op::Create:
      return true;
    default:
      return false;
  }
}

bool Selector::Matches(Op candidate) const {
  switch (kind) {
    case Kind::Any: return true;
    case Kind::Change: return IsChange(candidate);
    case Kind::One: return candidate == op;
  }
  return false;
}

std::optional<Selector> Selector::Parse(const std::string& word) {
  if (word == "any") return Selector{Kind::Any, Op::Lookup};
  if (word == "change") return Selector{Kind::Change, Op::Lookup};
  for (std::size_t i = 0; i < kOpCount; ++i)
    if (word == kNames[i]) return Selector{Kind::One, static_cast<Op>(i)};
  return std::nullopt;
}

Faults::Verdict Faults::Count(Op op) {
  Verdict verdict;
  ++counts_[static_cast<std::size_t>(op)];
  ++any_;
  if (IsChange(op)) ++changes_;
  if (fail_ && fail_->which.Matches(op)) {
    ++fail_->seen;
    if (fail_->seen == fail_->n || (failOnward_ && fail_->seen > fail_->n)) verdict.error = failError_;
  }
  if (stop_ && stop_->which.Matches(op) && ++stop_->seen == stop_->n) {
    verdict.stopCaller = true;
    stop_.reset();
  }
  if (cut_ && cut_->which.Matches(op) && ++cut_->seen == cut_->n) {
    verdict.cutAfter = true;
    cutAt = any_;
    cut_.reset();
  }
  return verdict;
}

void Faults::CutAfter(Selector which, std::uint64_t n) { cut_ = Rule{which, n, 0}; }

void Faults::FailAt(Selector which, std::uint64_t n, int error, bool onward) {
  fail_ = Rule{which, n, 0};
  failError_ = error;
  failOnward_ = onward;
}

void Faults::StopAt(Selector which, std::uint64_t n) { stop_ = Rule{which, n, 0}; }

void Faults::CorruptNone() { corruption_ = Corruption::None; }
void Faults::CorruptAll() { corruption_ = Corruption::All; }

void Faults::CorruptNamed(const std::string& glob) {
  corruption_ = Corruption::Named;
  corruptGlob_ = glob;
}

void Faults::CorruptNth(std::uint64_t n) {
  corruption_ = Corruption::Nth;
  corruptNth_ = n;
  writeOrder_.clear();
}

bool Faults::Corrupts(Ino ino, const std::string& name) {
  switch (corruption_) {
    case Corruption::None: return false;
    case Corruption::All: return true;
    case Corruption::Named: return fnmatch(corruptGlob_.c_str(), name.c_str(), 0) == 0;
    case Corruption::Nth: {
      auto [it, added] = writeOrder_.emplace(ino, writeOrder_.size() + 1);
      return it->second == corruptNth_;
    }
  }
  return false;
}

void Faults::Reset() {
  counts_.fill(0);
  any_ = changes_ = 0;
  cut_.reset();
  fail_.reset();
  stop_.reset();
  corruption_ = Corruption::None;
  writeOrder_.clear();
}

std::string Faults::Counts() const {
  std::ostringstream out;
  out << "any=" << any_ << " change=" << changes_;
  for (std::size_t i = 0; i < kOpCount; ++i) out << ' ' << kNames[i] << '=' << counts_[i];
  return out.str();
}

}  // namespace faultfs
