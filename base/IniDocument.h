#pragma once
// An INI text held line by line, for every INI file the program reads or
// writes. Names match without regard to letter case, and values are trimmed
// of blanks and of one pair of enclosing quotes; edits touch only the lines
// they change, so comments, order and lines the reader does not understand
// survive a rewrite byte for byte.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

class IniDocument {
 public:
  // Any bytes are accepted; the text is taken as it stands (choosing between
  // UTF-8 and another code page is the caller's business).
  static IniDocument Parse(std::string_view text);

  // The value of the key in the section, or nothing when the section or the
  // key is absent. The first matching key wins.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  // Replaces the key's line in place, or adds the key at the end of the
  // section, or adds the section at the end of the text. Line breaks in names
  // or the value are written as spaces, so a value never adds lines; a value
  // that would not read back unchanged (outer blanks, enclosing quotes) is
  // written inside double quotes.
  void Set(std::string_view section, std::string_view key, std::string_view value);
  // Removes every line of the key in every section of that name.
  void DeleteKey(std::string_view section, std::string_view key);
  // Removes every section of that name with all its lines.
  void DeleteSection(std::string_view section);

  // The section names in their order (a repeated section appears once).
  std::vector<std::string> Sections() const;
  // The key names of a section in their order (a repeated key appears once).
  std::vector<std::string> Keys(std::string_view section) const;

  std::string Serialize() const;

 private:
  enum class Kind { Other, Section, Key };
  struct Line {
    std::string text;        // the line without its break
    std::string lineBreak;   // "\r\n", "\n", "\r" or "" for a last line without one
    Kind kind = Kind::Other;
    std::string name;        // section or key name, trimmed
    std::size_t valueStart = 0;  // for a key: where the value begins in text
  };

  static Line Classify(std::string text, std::string lineBreak);
  // Index of the header of each section of that name.
  std::vector<std::size_t> SectionHeaders(std::string_view section) const;
  // One past the last line of the section whose header is at index header.
  std::size_t SectionEnd(std::size_t header) const;
  const std::string& NewLineBreak() const;
  void EnsureLastLineEnds();

  std::string bom_;
  std::vector<Line> lines_;
};

// Removes leading and trailing spaces and tabs.
std::string_view TrimBlanks(std::string_view text);

}  // namespace quillfen
