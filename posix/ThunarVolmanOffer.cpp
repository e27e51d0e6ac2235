#include "posix/ThunarVolmanOffer.h"

#include <map>
#include <optional>

#include "base/IniDocument.h"
#include "posix/AtomicFile.h"
#include "posix/DesktopEntryValues.h"
#include "posix/XdgPaths.h"
#include "posix/XfconfChannel.h"

namespace quillfen {
namespace {

constexpr const char* kChannel = "thunar-volman";
constexpr const char* kEnabled = "/autophoto/enabled";
constexpr const char* kCommand = "/autophoto/command";
constexpr const char* kAutomount = "/automount-drives/enabled";
// The kept file: the typed values as they were, by property (a property
// missing there was not set), and what the program wrote.
constexpr const char* kPrevious = "Previous";
constexpr const char* kWritten = "Quillfen";
// Older builds kept the import's two values as xfconf-query printed them.
constexpr const char* kLegacyBefore = "Before";

// Typed values by property; a property that is not set is absent.
using Values = std::map<std::string, std::string>;

struct Kept {
  Values before;
  // The command the program wrote, by which it knows its own command after
  // it was moved.
  std::string written;
  // The program switched the automatic mounting on (the user agreed).
  bool mounts = false;
};

std::optional<std::string> ValueOf(const Values& values, const std::string& property) {
  const auto found = values.find(property);
  if (found == values.end()) return std::nullopt;
  return found->second;
}

std::optional<std::string> KeptValue(const IniDocument& document, const char* section, const std::string& key) {
  const auto value = document.Get(section, key);
  if (!value) return std::nullopt;
  return UnescapeEntryValue(*value);
}

std::optional<Kept> ReadKept(const std::string& path) {
  const atomic_file::ReadResult file = atomic_file::Read(path);
  if (!file.ok || !file.exists) return std::nullopt;
  const IniDocument document = IniDocument::Parse(file.text);
  Kept kept;
  for (const std::string& property : document.Keys(kPrevious))
    kept.before[property] = KeptValue(document, kPrevious, property).value_or("");
  // xfconf-query printed a boolean as true/false and a number as digits,
  // which read back as the same types; a command is a string.
  if (const auto enabled = KeptValue(document, kLegacyBefore, "enabled")) kept.before[kEnabled] = *enabled;
  if (const auto command = KeptValue(document, kLegacyBefore, "command")) kept.before[kCommand] = XfconfString(*command);
  kept.written = KeptValue(document, kWritten, "command").value_or("");
  kept.mounts = KeptValue(document, kWritten, "mounts") == "true";
  return kept;
}

bool WriteKept(const std::string& path, const Kept& kept) {
  IniDocument document = IniDocument::Parse(
      "; thunar-volman's settings as they were before Quillfen was offered\n"
      "; for camera cards; given back when the offer is switched off.\n");
  for (const auto& [property, value] : kept.before) document.Set(kPrevious, property, EscapeEntryValue(value));
  document.Set(kWritten, "command", EscapeEntryValue(kept.written));
  if (kept.mounts) document.Set(kWritten, "mounts", "true");
  const std::string text = document.Serialize();
  return atomic_file::Modify(path, [&](const std::optional<std::string>&) { return text; }, 0600);
}

// Brings one property to its typed value, creating or removing it as needed.
bool Put(const XfconfChannel& channel, const char* property, const std::optional<std::string>& now,
         const std::optional<std::string>& wanted) {
  if (now == wanted) return true;
  if (!wanted) return channel.Reset(property);
  return channel.Set(property, *wanted);
}

}  // namespace

std::string ThunarVolmanCommand(const std::string& programPath) {
  // thunar-volman replaces %m, and %% by %, before it splits the line as a
  // shell would; single quotes keep every other character as it is.
  std::string quoted = "'";
  for (char c : programPath) {
    if (c == '\'') quoted += "'\\''";
    else if (c == '%') quoted += "%%";
    else quoted += c;
  }
  return quoted + "' %m";
}

ThunarVolmanOffer::ThunarVolmanOffer(std::string keptPath) : keptPath_(std::move(keptPath)) {}

DesktopNotices ThunarVolmanOffer::Synchronize(const AutoPlayRegistration& registration) {
  const XfconfChannel channel(kChannel);
  const std::string command = registration.registered ? ThunarVolmanCommand(registration.programPath) : "";
  DesktopNotices notices;
  if (registration.registered && registration.offered)
    notices.xfceAutomountOff = Offer(channel, command) && xdg::CurrentDesktopIs("XFCE");
  else
    Withdraw(channel, command);
  return notices;
}

// True when the offer stands but thunar-volman mounts no card by itself.
bool ThunarVolmanOffer::Offer(const XfconfChannel& channel, const std::string& command) const {
  const auto now = channel.Properties();
  if (!now) return false;
  std::optional<Kept> kept = ReadKept(keptPath_);
  const std::optional<std::string> current = ValueOf(*now, kCommand);
  const std::string typedCommand = XfconfString(command);
  const bool ours = kept && current && (*current == XfconfString(kept->written) || *current == typedCommand);
  if (!ours) {
    // What is set now is the user's: it is kept before anything is changed,
    // so that a program killed half-way still gives it back. Our own command
    // is never given back; where it was, nothing was set before.
    kept = Kept{};
    if (current != typedCommand) {
      for (const char* property : {kEnabled, kCommand})
        if (const auto value = ValueOf(*now, property)) kept->before[property] = *value;
    }
    kept->written = command;
    if (!WriteKept(keptPath_, *kept)) return false;
  }
  if (!Put(channel, kCommand, current, typedCommand)) return false;
  if (!Put(channel, kEnabled, ValueOf(*now, kEnabled), XfconfBool(true))) return false;
  // A program that was moved writes its new path; it is still its own.
  if (kept->written != command) {
    kept->written = command;
    WriteKept(keptPath_, *kept);
  }
  return ValueOf(*now, kAutomount) != XfconfBool(true);
}

void ThunarVolmanOffer::MountCards() {
  const XfconfChannel channel(kChannel);
  std::optional<Kept> kept = ReadKept(keptPath_);
  if (!kept) return;  // no offer stands
  const auto now = channel.Properties();
  if (!now) return;
  const std::optional<std::string> automount = ValueOf(*now, kAutomount);
  if (!kept->mounts) {
    kept->mounts = true;
    if (automount) kept->before[kAutomount] = *automount;
    if (!WriteKept(keptPath_, *kept)) return;
  }
  Put(channel, kAutomount, automount, XfconfBool(true));
}

void ThunarVolmanOffer::Withdraw(const XfconfChannel& channel, const std::string& command) const {
  const std::optional<Kept> kept = ReadKept(keptPath_);
  if (!kept) return;
  const auto now = channel.Properties();
  if (!now) return;  // kept for a later try
  const std::optional<std::string> current = ValueOf(*now, kCommand);
  const bool ours = current && (*current == XfconfString(kept->written) ||
                                (!command.empty() && *current == XfconfString(command)));
  // A command the user has set since is theirs, and so is everything with it.
  if (ours) {
    if (!Put(channel, kCommand, current, ValueOf(kept->before, kCommand)) ||
        !Put(channel, kEnabled, ValueOf(*now, kEnabled), ValueOf(kept->before, kEnabled)))
      return;
    // The mounting the program switched on goes off again, unless the user
    // has set it otherwise since.
    const std::optional<std::string> automount = ValueOf(*now, kAutomount);
    if (kept->mounts && automount == XfconfBool(true) &&
        !Put(channel, kAutomount, automount, ValueOf(kept->before, kAutomount)))
      return;
  }
  atomic_file::Remove(keptPath_);
}

}  // namespace quillfen
