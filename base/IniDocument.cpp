#include "base/IniDocument.h"

#include <set>

#include "base/NoCase.h"

namespace quillfen {

namespace {

const std::string kUtf8Bom = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool SameName(std::string_view a, std::string_view b) {
  return EqualsNoCase(std::string(a), std::string(b));
}

struct NoCaseLess {
  bool operator()(const std::string& a, const std::string& b) const { return CompareNoCase(a, b) < 0; }
};

// Names and values are kept on one line whatever they hold.
std::string OneLine(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c == '\r' || c == '\n') c = ' ';
  return out;
}

bool HasEnclosingQuotes(std::string_view text) {
  return text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front();
}

// The text to write so that reading gives the value back unchanged.
std::string WrittenValue(std::string_view value) {
  std::string line = OneLine(value);
  bool outerBlanks = !line.empty() && (IsBlank(line.front()) || IsBlank(line.back()));
  if (outerBlanks || HasEnclosingQuotes(line)) return "\"" + line + "\"";
  return line;
}

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

IniDocument::Line IniDocument::Classify(std::string text, std::string lineBreak) {
  Line line;
  line.text = std::move(text);
  line.lineBreak = std::move(lineBreak);
  std::string_view body = TrimBlanks(line.text);
  if (body.empty() || body.front() == ';' || body.front() == '#') return line;
  if (body.front() == '[') {
    auto close = body.find(']');
    if (close != std::string_view::npos) {
      line.kind = Kind::Section;
      line.name = std::string(TrimBlanks(body.substr(1, close - 1)));
    }
    return line;
  }
  auto eq = line.text.find('=');
  if (eq == std::string::npos) return line;
  std::string_view name = TrimBlanks(std::string_view(line.text).substr(0, eq));
  if (name.empty()) return line;
  line.kind = Kind::Key;
  line.name = std::string(name);
  line.valueStart = eq + 1;
  while (line.valueStart < line.text.size() && IsBlank(line.text[line.valueStart])) ++line.valueStart;
  return line;
}

IniDocument IniDocument::Parse(std::string_view text) {
  IniDocument doc;
  if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
    doc.bom_ = kUtf8Bom;
    text.remove_prefix(kUtf8Bom.size());
  }
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      doc.lines_.push_back(Classify(std::string(text.substr(start)), ""));
      break;
    }
    std::size_t breakLength = (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;
    doc.lines_.push_back(
        Classify(std::string(text.substr(start, end - start)), std::string(text.substr(end, breakLength))));
    start = end + breakLength;
  }
  return doc;
}

std::vector<std::size_t> IniDocument::SectionHeaders(std::string_view section) const {
  std::vector<std::size_t> headers;
  for (std::size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].kind == Kind::Section && SameName(lines_[i].name, section)) headers.push_back(i);
  return headers;
}

std::size_t IniDocument::SectionEnd(std::size_t header) const {
  std::size_t i = header + 1;
  while (i < lines_.size() && lines_[i].kind != Kind::Section) ++i;
  return i;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
  for (std::size_t header : SectionHeaders(section)) {
    for (std::size_t i = header + 1, end = SectionEnd(header); i < end; ++i) {
      const Line& line = lines_[i];
      if (line.kind != Kind::Key || !SameName(line.name, key)) continue;
      std::string_view value = TrimBlanks(std::string_view(line.text).substr(line.valueStart));
      if (HasEnclosingQuotes(value)) value = value.substr(1, value.size() - 2);
      return std::string(value);
    }
  }
  return std::nullopt;
}

const std::string& IniDocument::NewLineBreak() const {
  static const std::string kDefault = "\n";
  for (const Line& line : lines_)
    if (!line.lineBreak.empty()) return line.lineBreak;
  return kDefault;
}

void IniDocument::EnsureLastLineEnds() {
  if (!lines_.empty() && lines_.back().lineBreak.empty()) lines_.back().lineBreak = NewLineBreak();
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::string written = WrittenValue(value);
  auto headers = SectionHeaders(section);
  for (std::size_t header : headers) {
    for (std::size_t i = header + 1, end = SectionEnd(header); i < end; ++i) {
      Line& line = lines_[i];
      if (line.kind != Kind::Key || !SameName(line.name, key)) continue;
      line.text = line.text.substr(0, line.valueStart) + written;
      return;
    }
  }
  std::string breakText = NewLineBreak();
  Line keyLine = Classify(OneLine(key) + "=" + written, breakText);
  if (!headers.empty()) {
    std::size_t header = headers.front();
    std::size_t insertAt = header + 1;
    for (std::size_t i = header + 1, end = SectionEnd(header); i < end; ++i)
      if (lines_[i].kind == Kind::Key) insertAt = i + 1;
    if (insertAt == lines_.size()) EnsureLastLineEnds();
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(keyLine));
    return;
  }
  EnsureLastLineEnds();
  lines_.push_back(Classify("[" + OneLine(section) + "]", breakText));
  lines_.push_back(std::move(keyLine));
}

void IniDocument::DeleteKey(std::string_view section, std::string_view key) {
  std::vector<bool> doomed(lines_.size(), false);
  for (std::size_t header : SectionHeaders(section))
    for (std::size_t i = header + 1, end = SectionEnd(header); i < end; ++i)
      if (lines_[i].kind == Kind::Key && SameName(lines_[i].name, key)) doomed[i] = true;
  std::vector<Line> kept;
  kept.reserve(lines_.size());
  for (std::size_t i = 0; i < lines_.size(); ++i)
    if (!doomed[i]) kept.push_back(std::move(lines_[i]));
  lines_ = std::move(kept);
}

void IniDocument::DeleteSection(std::string_view section) {
  std::vector<Line> kept;
  kept.reserve(lines_.size());
  bool inDoomed = false;
  for (Line& line : lines_) {
    if (line.kind == Kind::Section) inDoomed = SameName(line.name, section);
    if (!inDoomed) kept.push_back(std::move(line));
  }
  lines_ = std::move(kept);
}

std::vector<std::string> IniDocument::Sections() const {
  std::vector<std::string> names;
  std::set<std::string, NoCaseLess> seen;
  for (const Line& line : lines_)
    if (line.kind == Kind::Section && seen.insert(line.name).second) names.push_back(line.name);
  return names;
}

std::vector<std::string> IniDocument::Keys(std::string_view section) const {
  std::vector<std::string> names;
  std::set<std::string, NoCaseLess> seen;
  for (std::size_t header : SectionHeaders(section))
    for (std::size_t i = header + 1, end = SectionEnd(header); i < end; ++i)
      if (lines_[i].kind == Kind::Key && seen.insert(lines_[i].name).second) names.push_back(lines_[i].name);
  return names;
}

std::string IniDocument::Serialize() const {
  std::string out = bom_;
  for (const Line& line : lines_) {
    out += line.text;
    out += line.lineBreak;
  }
  return out;
}

}  // namespace quillfen
