#include "platform/posix/XdgDesktopIntegration.h"

#include <string_view>

#include "base/AppNames.h"
#include "base/IniDocument.h"
#include "base/PathParts.h"
#include "platform/posix/AtomicFile.h"
#include "platform/posix/XdgPaths.h"

namespace quillfen {
namespace {

constexpr const char* kIconFileName = "resources/quillfen.png";  // where the window takes its icon from
constexpr const char* kAssociationSections[] = {"Added Associations", "Default Applications"};

// A string value of a desktop entry: one line, backslash escapes.
std::string EscapeEntryValue(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    switch (text[i]) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case ' ':
        out += i == 0 ? "\\s" : " ";  // a leading blank would be trimmed
        break;
      default: out += text[i];
    }
  }
  return out;
}

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

std::string QuoteExecArgument(const std::string& argument) {
  static const std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
  std::string out;
  bool quote = argument.empty();
  for (char c : argument) {
    if (kReserved.find(c) != std::string_view::npos) quote = true;
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
    // A literal percent sign is doubled so that it is no field code.
    out += c == '%' ? std::string("%%") : std::string(1, c);
  }
  return quote ? "\"" + out + "\"" : out;
}

std::string DesktopEntryText(const AutoPlayRegistration& registration) {
  const std::string name = registration.name.empty() ? std::string(kAppTitle) : registration.name;
  std::string text = "[Desktop Entry]\n";
  text += "Type=Application\n";
  text += "Name=" + EscapeEntryValue(name) + "\n";
  if (!registration.action.empty()) text += "Comment=" + EscapeEntryValue(registration.action) + "\n";
  text += "Exec=" + EscapeEntryValue(QuoteExecArgument(registration.programPath) + " %f") + "\n";
  text += "Icon=" + EscapeEntryValue(BuildPath(ParentFolder(registration.programPath), kIconFileName)) + "\n";
  text += "Terminal=false\n";
  text += "Categories=Graphics;Photography;\n";
  text += std::string("MimeType=") + kCameraCardType + ";\n";
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

XdgDesktopIntegration::XdgDesktopIntegration()
    : XdgDesktopIntegration(BuildPath(xdg::DataHome(), "applications"), BuildPath(xdg::ConfigHome(), "mimeapps.list")) {}

XdgDesktopIntegration::XdgDesktopIntegration(std::string applicationsFolder, std::string mimeappsPath)
    : applicationsFolder_(std::move(applicationsFolder)), mimeappsPath_(std::move(mimeappsPath)) {}

std::string XdgDesktopIntegration::DesktopFilePath() const { return BuildPath(applicationsFolder_, kDesktopFileName); }

void XdgDesktopIntegration::Synchronize(const AutoPlayRegistration& registration) {
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
}

}  // namespace quillfen
