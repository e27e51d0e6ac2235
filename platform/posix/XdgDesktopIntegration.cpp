#include "platform/posix/XdgDesktopIntegration.h"

#include <string_view>
#include <vector>

#include "localization/IniDocument.h"
#include "platform/Paths.h"
#include "platform/posix/AtomicFile.h"
#include "platform/posix/XdgPaths.h"

namespace quillfen {
namespace {

constexpr const char* kIconFileName = "quillfen.png";
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

std::string FolderOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::vector<std::string> SplitList(const std::string& value) {
  std::vector<std::string> items;
  std::size_t start = 0;
  while (start <= value.size()) {
    std::size_t end = value.find(';', start);
    if (end == std::string::npos) end = value.size();
    std::string item(TrimBlanks(std::string_view(value).substr(start, end - start)));
    if (!item.empty()) items.push_back(item);
    start = end + 1;
  }
  return items;
}

std::string JoinList(const std::vector<std::string>& items) {
  std::string value;
  for (const std::string& item : items) value += item + ";";
  return value;
}

// True when the section's header is followed at once by another header or the
// end of the text: the section holds no line at all, not even a comment.
bool SectionHoldsNothing(const std::string& text, std::string_view section) {
  std::size_t start = 0;
  bool inSection = false;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view line = TrimBlanks(std::string_view(text).substr(start, end - start));
    if (!line.empty() && line.back() == '\r') line = TrimBlanks(line.substr(0, line.size() - 1));
    start = end + 1;
    const bool header = !line.empty() && line.front() == '[';
    if (inSection) return header;
    inSection = header && line == "[" + std::string(section) + "]";
  }
  return inSection;
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
  const std::string name = registration.name.empty() ? "Quillfen" : registration.name;
  std::string text = "[Desktop Entry]\n";
  text += "Type=Application\n";
  text += "Name=" + EscapeEntryValue(name) + "\n";
  if (!registration.action.empty()) text += "Comment=" + EscapeEntryValue(registration.action) + "\n";
  text += "Exec=" + EscapeEntryValue(QuoteExecArgument(registration.programPath) + " %f") + "\n";
  text += "Icon=" + EscapeEntryValue(BuildPath(FolderOf(registration.programPath), kIconFileName)) + "\n";
  text += "Terminal=false\n";
  text += "Categories=Graphics;Photography;\n";
  text += std::string("MimeType=") + kCameraCardType + ";\n";
  return text;
}

std::string WithCameraCardAssociation(const std::string& mimeapps, bool offered) {
  IniDocument document = IniDocument::Parse(mimeapps);
  for (const char* section : kAssociationSections) {
    const std::optional<std::string> current = document.Get(section, kCameraCardType);
    std::vector<std::string> items = SplitList(current.value_or(""));
    std::vector<std::string> kept;
    for (const std::string& item : items)
      if (item != kDesktopFileName) kept.push_back(item);
    if (offered) {
      // First in the list: the desktop's default for a card.
      if (!items.empty() && items.front() == kDesktopFileName) continue;
      kept.insert(kept.begin(), kDesktopFileName);
      document.Set(section, kCameraCardType, JoinList(kept));
    } else if (kept.size() != items.size()) {
      if (!kept.empty()) {
        document.Set(section, kCameraCardType, JoinList(kept));
        continue;
      }
      document.DeleteKey(section, kCameraCardType);
      // A section that held only the association goes with it.
      if (SectionHoldsNothing(document.Serialize(), section)) document.DeleteSection(section);
    }
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
