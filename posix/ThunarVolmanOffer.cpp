#include "posix/ThunarVolmanOffer.h"

#include <optional>

#include "base/IniDocument.h"
#include "posix/AtomicFile.h"
#include "posix/DesktopEntryValues.h"
#include "posix/ToolProcess.h"
#include "posix/XfconfChannel.h"

namespace quillfen {
namespace {

constexpr const char* kChannel = "thunar-volman";
constexpr const char* kEnabled = "/autophoto/enabled";
constexpr const char* kCommand = "/autophoto/command";
constexpr const char* kBefore = "Before";
constexpr const char* kWritten = "Quillfen";

// thunar-volman's photo import: each property's value as xfconf-query prints
// it, or nothing where the property is not set.
struct PhotoImport {
  std::optional<std::string> enabled;
  std::optional<std::string> command;
};

// What the kept file holds: the import as it was, and the command the
// program wrote, by which it knows its own command after it was moved.
struct Kept {
  PhotoImport before;
  std::string written;
};

std::optional<PhotoImport> ReadImport(const XfconfChannel& channel) {
  const auto names = channel.Properties();
  if (!names) return std::nullopt;
  PhotoImport import;
  for (auto [property, value] : {std::pair{kEnabled, &import.enabled}, std::pair{kCommand, &import.command}}) {
    if (!names->count(property)) continue;
    *value = channel.Read(property);
    if (!*value) return std::nullopt;
  }
  return import;
}

std::optional<std::string> KeptValue(const IniDocument& document, const char* section, const char* key) {
  const auto value = document.Get(section, key);
  if (!value) return std::nullopt;
  return UnescapeEntryValue(*value);
}

std::optional<Kept> ReadKept(const std::string& path) {
  const atomic_file::ReadResult file = atomic_file::Read(path);
  if (!file.ok || !file.exists) return std::nullopt;
  const IniDocument document = IniDocument::Parse(file.text);
  Kept kept;
  kept.before.enabled = KeptValue(document, kBefore, "enabled");
  kept.before.command = KeptValue(document, kBefore, "command");
  kept.written = KeptValue(document, kWritten, "command").value_or("");
  return kept;
}

bool WriteKept(const std::string& path, const Kept& kept) {
  IniDocument document = IniDocument::Parse(
      "; thunar-volman's photo import as it was before Quillfen was offered\n"
      "; for camera cards; given back when the offer is switched off.\n");
  if (kept.before.enabled) document.Set(kBefore, "enabled", EscapeEntryValue(*kept.before.enabled));
  if (kept.before.command) document.Set(kBefore, "command", EscapeEntryValue(*kept.before.command));
  document.Set(kWritten, "command", EscapeEntryValue(kept.written));
  const std::string text = document.Serialize();
  return atomic_file::Modify(path, [&](const std::optional<std::string>&) { return text; }, 0600);
}

// Brings one property to its value, creating or removing it as needed.
bool Put(const XfconfChannel& channel, const char* property, const char* type,
         const std::optional<std::string>& now, const std::optional<std::string>& wanted) {
  if (now == wanted) return true;
  if (!wanted) return channel.Reset(property);
  return channel.Set(property, type, *wanted, !now);
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
  const std::string tool = FindTool("xfconf-query");
  if (tool.empty()) return {};
  const XfconfChannel channel(tool, kChannel);
  const std::string command = registration.registered ? ThunarVolmanCommand(registration.programPath) : "";
  if (registration.registered && registration.offered) Offer(channel, command);
  else Withdraw(channel, command);
  return {};
}

void ThunarVolmanOffer::Offer(const XfconfChannel& channel, const std::string& command) const {
  const auto now = ReadImport(channel);
  if (!now) return;
  std::optional<Kept> kept = ReadKept(keptPath_);
  const bool ours = kept && now->command && (*now->command == kept->written || *now->command == command);
  if (!ours) {
    // What is set now is the user's: it is kept before anything is changed,
    // so that a program killed half-way still gives it back. Our own command
    // is never given back; where it was, nothing was set before.
    kept = Kept{*now, command};
    if (now->command == command) kept->before = PhotoImport{};
    if (!WriteKept(keptPath_, *kept)) return;
  }
  if (!Put(channel, kCommand, "string", now->command, command)) return;
  if (!Put(channel, kEnabled, "bool", now->enabled, "true")) return;
  // A program that was moved writes its new path; it is still its own.
  if (kept->written != command) {
    kept->written = command;
    WriteKept(keptPath_, *kept);
  }
}

void ThunarVolmanOffer::Withdraw(const XfconfChannel& channel, const std::string& command) const {
  const std::optional<Kept> kept = ReadKept(keptPath_);
  if (!kept) return;
  const auto now = ReadImport(channel);
  if (!now) return;  // kept for a later try
  const bool ours = now->command && (*now->command == kept->written || (!command.empty() && *now->command == command));
  // A command the user has set since is theirs, and so is the switch with it.
  if (ours && !(Put(channel, kCommand, "string", now->command, kept->before.command) &&
                Put(channel, kEnabled, "bool", now->enabled, kept->before.enabled)))
    return;
  atomic_file::Remove(keptPath_);
}

}  // namespace quillfen
