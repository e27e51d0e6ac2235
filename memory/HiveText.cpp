#include "memory/HiveText.h"

#include <optional>
#include <string_view>

#include "base/IniDocument.h"
#include "platform/RegistryRootNames.h"

namespace quillfen::hive_text {
namespace {

constexpr char kPathEscape = '%';
constexpr char kDataEscape = '\\';
constexpr const char* kDefaultValueName = "@";
constexpr const char* kHeader =
    "; Quillfen registry: [root\\key path], then name=data per string value; @ is the default value.\n";

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7f; }

// Which bytes of a text must be escaped, given its position.
enum class Field { PathElement, ValueName, Data };

bool NeedsEscape(Field field, std::string_view text, std::size_t i, char escape) {
  const unsigned char c = static_cast<unsigned char>(text[i]);
  const bool edge = i == 0 || i + 1 == text.size();
  if (c == static_cast<unsigned char>(escape) || IsControl(c)) return true;
  if (edge && (c == ' ' || c == '\t')) return true;  // INI lines are trimmed
  switch (field) {
    case Field::PathElement:
      return c == '[' || c == ']';
    case Field::ValueName:
      return c == '=' || c == '[' || (i == 0 && (c == ';' || c == '#')) || text == kDefaultValueName;
    case Field::Data:
      return i == 0 && (c == '"' || c == '\'');  // enclosing quotes are dropped on reading
  }
  return false;
}

std::string Escape(Field field, std::string_view text, char escape) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!NeedsEscape(field, text, i, escape)) {
      out += text[i];
      continue;
    }
    const unsigned char c = static_cast<unsigned char>(text[i]);
    out += escape;
    out += kHex[c >> 4];
    out += kHex[c & 15];
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::optional<std::string> Unescape(std::string_view text, char escape) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != escape) {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return std::nullopt;
    const int high = HexDigit(text[i + 1]);
    const int low = HexDigit(text[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return out;
}

// The first line that is none of: blank, comment, section header, or a
// name=value line inside a section. Zero when every line is sound.
std::size_t FirstStrayLine(const std::string& text, std::string& why) {
  std::size_t number = 0;
  bool inSection = false;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view line = TrimBlanks(std::string_view(text).substr(start, end - start));
    if (!line.empty() && line.back() == '\r') line = TrimBlanks(line.substr(0, line.size() - 1));
    ++number;
    start = end + 1;
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      if (line.back() != ']') {
        why = "a key line that does not end in ]";
        return number;
      }
      inSection = true;
      continue;
    }
    if (line.find('=') == std::string_view::npos || line.front() == '=') {
      why = "a line that is neither a key nor a value";
      return number;
    }
    if (!inSection) {
      why = "a value outside any key";
      return number;
    }
  }
  return 0;
}

}  // namespace

Parsed Parse(const std::string& text) {
  Parsed result;
  if (text.find('\0') != std::string::npos) {
    result.damage = "it holds binary data";
    return result;
  }
  std::string why;
  if (std::size_t line = FirstStrayLine(text, why)) {
    result.damage = "line " + std::to_string(line) + ": " + why;
    return result;
  }
  const IniDocument document = IniDocument::Parse(text);
  MemoryRegistryHive& hive = result.hive;
  for (const std::string& section : document.Sections()) {
    const auto separator = section.find('\\');
    const auto root = RegistryRootFromName(std::string_view(section).substr(0, separator));
    const auto path =
        Unescape(separator == std::string::npos ? std::string_view() : std::string_view(section).substr(separator + 1),
                 kPathEscape);
    if (!root || !path) {
      result.damage = "the key [" + section + "] is not a key of a known root";
      break;
    }
    hive.CreateKey(*root, *path);
    for (const std::string& escapedName : document.Keys(section)) {
      const auto name = escapedName == kDefaultValueName ? std::optional<std::string>("")
                                                          : Unescape(escapedName, kPathEscape);
      const auto data = Unescape(document.Get(section, escapedName).value_or(""), kDataEscape);
      if (!name || !data) {
        result.damage = "the value " + escapedName + " of [" + section + "] has a broken escape";
        break;
      }
      hive.SetValue(*root, *path, *name, *data);
    }
    if (!result.damage.empty()) break;
  }
  if (!result.damage.empty()) result.hive = MemoryRegistryHive();
  return result;
}

std::string Serialize(const MemoryRegistryHive& hive) {
  std::string text = kHeader;
  for (const auto& [where, key] : hive.keys()) {
    text += "\n[";
    text += RegistryRootName(where.first);
    std::string_view path = key.path;
    // Each element of the path on its own, so that the separators stay readable.
    for (std::size_t start = 0; start < path.size();) {
      std::size_t end = path.find('\\', start);
      if (end == std::string_view::npos) end = path.size();
      text += '\\';
      text += Escape(Field::PathElement, path.substr(start, end - start), kPathEscape);
      start = end + 1;
    }
    text += "]\n";
    for (const auto& [folded, value] : key.values) {
      const auto& [name, data] = value;
      text += name.empty() ? std::string(kDefaultValueName) : Escape(Field::ValueName, name, kPathEscape);
      text += '=';
      text += Escape(Field::Data, data, kDataEscape);
      text += '\n';
    }
  }
  return text;
}

}  // namespace quillfen::hive_text
