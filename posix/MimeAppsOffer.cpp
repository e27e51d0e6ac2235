#include "posix/MimeAppsOffer.h"

#include <string_view>

#include "base/AppNames.h"
#include "base/IniDocument.h"
#include "base/PathParts.h"
#include "posix/AtomicFile.h"
#include "posix/DesktopEntryValues.h"

namespace quillfen {
namespace {

constexpr const char* kAssociationSections[] = {"Added Associations", "Default Applications"};

// The list without the program's entry; every other entry keeps its spelling,
// so that withdrawing gives back the value as it was before.
std::string WithoutOurEntry(const std::string& list) {
  const std::string entry = kDesktopFileName;
  std::string rest;
  std::size_t start = 0;
  while (start < list.size()) {
    std::size_t end = list.find(';', start);
    const bool last = end == std::string::npos;
    if (last) end = list.size();
    if (TrimBlanks(std::string_view(list).substr(start, end - start)) != entry)
      rest += list.substr(start, last ? end - start : end - start + 1);
    start = end + 1;
  }
  return rest;
}

bool ListStartsWithOurEntry(const std::string& list) {
  const std::string_view first = TrimBlanks(std::string_view(list).substr(0, list.find(';')));
  return first == kDesktopFileName;
}

}  // namespace

std::string DesktopEntryText(const AutoPlayRegistration& registration) {
  const std::string name = registration.name.empty() ? std::string(kAppTitle) : registration.name;
  std::string text = "[Desktop Entry]\n";
  text += "Type=Application\n";
  text += "Name=" + EscapeEntryValue(name) + "\n";
  if (!registration.action.empty()) text += "Comment=" + EscapeEntryValue(registration.action) + "\n";
  text += "Exec=" + ProgramExecValue(registration.programPath) + "\n";
  text += "Icon=" + EscapeEntryValue(ProgramIconPath(registration.programPath)) + "\n";
  text += "Terminal=false\n";
  text += "Categories=Graphics;Photography;\n";
  text += std::string("MimeType=") + kCameraCardType + ";\n";
  // The entry is there for the card type; the menu shows the program through
  // the entry its package installs, and one program would otherwise be
  // listed twice. Desktops still offer a hidden entry for the type.
  text += "NoDisplay=true\n";
  return text;
}

std::string WithCameraCardAssociation(const std::string& mimeapps, bool offered) {
  IniDocument document = IniDocument::Parse(mimeapps);
  for (const char* section : kAssociationSections) {
    const std::optional<std::string> current = document.Get(section, kCameraCardType);
    if (offered) {
      // First in the list: the desktop's default for a card.
      if (current && ListStartsWithOurEntry(*current)) continue;
      document.Set(section, kCameraCardType, std::string(kDesktopFileName) + ";" + WithoutOurEntry(current.value_or("")));
      continue;
    }
    if (!current) continue;
    const std::string rest = WithoutOurEntry(*current);
    if (rest == *current) continue;
    if (rest.find_first_not_of("; \t") != std::string::npos) {
      document.Set(section, kCameraCardType, rest);
      continue;
    }
    // The section stays, even when empty: it may well be the user's own line.
    document.DeleteKey(section, kCameraCardType);
  }
  return document.Serialize();
}

MimeAppsOffer::MimeAppsOffer(std::string applicationsFolder, std::string mimeappsPath)
    : applicationsFolder_(std::move(applicationsFolder)), mimeappsPath_(std::move(mimeappsPath)) {}

std::string MimeAppsOffer::DesktopFilePath() const { return BuildPath(applicationsFolder_, kDesktopFileName); }

DesktopNotices MimeAppsOffer::Synchronize(const AutoPlayRegistration& registration) {
  if (registration.registered) {
    const std::string entry = DesktopEntryText(registration);
    atomic_file::Modify(DesktopFilePath(), [&](const std::optional<std::string>&) { return entry; }, 0644);
  } else {
    atomic_file::Remove(DesktopFilePath());
  }
  const bool offered = registration.registered && registration.offered;
  atomic_file::Modify(
      mimeappsPath_,
      [&](const std::optional<std::string>& current) -> std::optional<std::string> {
        // Withdrawing from a file that does not exist leaves it absent.
        if (!current && !offered) return std::nullopt;
        return WithCameraCardAssociation(current.value_or(""), offered);
      },
      0644);
  return {};
}

}  // namespace quillfen
