// What faultfs has been told to do wrong: the operation counters, the power
// cut, the failing operation and the corruption of stored data. Pure
// bookkeeping; the caller holds the volume's lock.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "Store.h"

namespace faultfs {

enum class Op {
  Lookup, Getattr, Setattr, Mknod, Mkdir, Unlink, Rmdir, Rename, Link, Open, Read, Write, Flush, Release,
  Fsync, Opendir, Readdir, Releasedir, Fsyncdir, Statfs, Create, Count_
};
constexpr std::size_t kOpCount = static_cast<std::size_t>(Op::Count_);

const char* OpName(Op op);
// Operations that change the tree or its durable state.
bool IsChange(Op op);

// Which operations a rule counts: "any", "change" or one operation's name.
struct Selector {
  enum class Kind { Any, Change, One } kind = Kind::Any;
  Op op = Op::Lookup;
  bool Matches(Op candidate) const;
  static std::optional<Selector> Parse(const std::string& word);
};

class Faults {
 public:
  enum class Power { On, Cut, Released };

  struct Verdict {
    int error = 0;        // answer this instead of doing the operation
    bool cutAfter = false;  // power goes once this operation is done
    bool stopCaller = false;  // its caller is stopped before it hears the answer
  };
  // Counts one operation and says what becomes of it.
  Verdict Count(Op op);

  // Power goes after the nth operation that `which` counts, from now on.
  void CutAfter(Selector which, std::uint64_t n);
  // The nth such operation fails with `error`; with `onward` so do all after it.
  void FailAt(Selector which, std::uint64_t n, int error, bool onward);
  // The caller of the nth such operation is stopped (SIGSTOP) before it
  // hears the answer: the test acts, then lets it go on (SIGCONT).
  void StopAt(Selector which, std::uint64_t n);
  void CorruptNone();
  void CorruptAll();
  void CorruptNamed(const std::string& glob);
  void CorruptNth(std::uint64_t n);
  // Whether data written now to this file is to be stored damaged.
  bool Corrupts(Ino ino, const std::string& name);

  // Counters back to zero, every rule dropped (not the power state).
  void Reset();
  // "any=N change=N lookup=N ..."
  std::string Counts() const;

  Power power = Power::On;
  std::uint64_t cutAt = 0;  // the "any" count of the operation after which power went

 private:
  struct Rule {
    Selector which;
    std::uint64_t n = 0;
    std::uint64_t seen = 0;
  };
  std::array<std::uint64_t, kOpCount> counts_{};
  std::uint64_t any_ = 0, changes_ = 0;
  std::optional<Rule> cut_;
  std::optional<Rule> fail_;
  std::optional<Rule> stop_;
  int failError_ = 0;
  bool failOnward_ = false;

  enum class Corruption { None, All, Named, Nth } corruption_ = Corruption::None;
  std::string corruptGlob_;
  std::uint64_t corruptNth_ = 0;
  std::map<Ino, std::uint64_t> writeOrder_;  // files in the order of their first write
};

}  // namespace faultfs
