// Parsing and carrying out the control commands, under the volume's lock.
#include "Commands.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace faultfs {

namespace {

std::optional<std::uint64_t> Number(const std::string& word) {
  if (word.empty() || word.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  return std::strtoull(word.c_str(), nullptr, 10);
}

std::optional<int> ErrorNumber(const std::string& word) {
  static const std::pair<const char*, int> kKnown[] = {
      {"EIO", EIO}, {"ENOSPC", ENOSPC}, {"EROFS", EROFS}, {"EDQUOT", EDQUOT},
      {"EACCES", EACCES}, {"EPERM", EPERM}, {"ENOMEM", ENOMEM}, {"EFBIG", EFBIG}};
  for (const auto& [name, value] : kKnown)
    if (word == name) return value;
  if (auto n = Number(word); n && *n > 0 && *n < 4096) return static_cast<int>(*n);
  return std::nullopt;
}

std::string Status(const Faults& faults) {
  switch (faults.power) {
    case Faults::Power::On: return "ok on";
    case Faults::Power::Cut: return "ok cut after any=" + std::to_string(faults.cutAt);
    case Faults::Power::Released: return "ok released after any=" + std::to_string(faults.cutAt);
  }
  return "error";
}

}  // namespace

std::string RunCommand(Volume& volume, const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  if (words.empty()) return "error: empty command";
  const std::string& verb = words[0];

  std::lock_guard<std::mutex> lock(volume.mutex);
  Faults& faults = volume.faults;
  if (verb == "status" && words.size() == 1) return Status(faults);
  if (verb == "count" && words.size() == 1) return "ok " + faults.Counts();
  if (verb == "reset" && words.size() == 1) {
    faults.Reset();
    return "ok";
  }
  if (verb == "sync" && words.size() == 1) {
    if (faults.power != Faults::Power::On) return "error: the power is off";
    volume.store.Sync();
    return "ok";
  }
  if (verb == "release" && words.size() == 1) {
    volume.Release();
    return Status(faults);
  }
  if (verb == "save-live" && words.size() == 2) {
    volume.lastError.clear();
    return volume.SaveLive(words[1]) ? "ok" : "error: " + volume.lastError;
  }
  if (verb == "cut" && words.size() == 2 && words[1] == "now") {
    if (faults.power != Faults::Power::On) return "error: the power is off already";
    volume.CutPower();
    return volume.lastError.empty() ? Status(faults) : "error: " + volume.lastError;
  }
  if (verb == "cut" && words.size() == 3) {
    auto which = Selector::Parse(words[1]);
    auto n = Number(words[2]);
    if (!which || !n || *n == 0) return "error: usage: cut any|change|<operation> N";
    faults.CutAfter(*which, *n);
    return "ok";
  }
  if ((verb == "fail" || verb == "fail-from") && words.size() == 4) {
    auto which = Selector::Parse(words[1]);
    auto n = Number(words[2]);
    auto error = ErrorNumber(words[3]);
    if (!which || !n || *n == 0 || !error) return "error: usage: " + verb + " any|change|<operation> N EIO|ENOSPC|<errno>";
    faults.FailAt(*which, *n, *error, verb == "fail-from");
    return "ok";
  }
  if (verb == "stop" && words.size() == 3) {
    auto which = Selector::Parse(words[1]);
    auto n = Number(words[2]);
    if (!which || !n || *n == 0) return "error: usage: stop any|change|<operation> N";
    faults.StopAt(*which, *n);
    return "ok";
  }
  if (verb == "corrupt") {
    if (words.size() == 2 && words[1] == "off") faults.CorruptNone();
    else if (words.size() == 2 && words[1] == "all") faults.CorruptAll();
    else if (words.size() == 3 && words[1] == "name") faults.CorruptNamed(words[2]);
    else if (words.size() == 3 && words[1] == "nth" && Number(words[2]).value_or(0) > 0)
      faults.CorruptNth(*Number(words[2]));
    else return "error: usage: corrupt off|all|name GLOB|nth N";
    return "ok";
  }
  return "error: unknown command: " + line;
}

}  // namespace faultfs
