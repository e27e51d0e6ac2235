#pragma once
// Puts values into a text of a language file the way its language writes
// them: numbers with its digits, grouping and decimal sign, and counts in
// its plural forms, through ICU's message format. Tested in
// tests/text_format_test.cpp.
#include <concepts>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace quillfen {

// A value put into a text: a text as it stands (a path, a reason), or a
// number (a count, a size) that the language writes in its own way.
struct TextValue {
  TextValue(std::string text) : value(std::move(text)) {}
  TextValue(const char* text) : value(std::string(text)) {}
  template <std::integral Number>
  explicit TextValue(Number number) : value(static_cast<std::int64_t>(number)) {}
  std::variant<std::string, std::int64_t> value;
};

// The text with its values put in, %1 standing for the first value, %2 for
// the second, and so on.
//
// A text without braces keeps its wording: each %n in turn is replaced by
// its value as it stands, or by its number as the language of `locale`
// ("de", "pt_BR") writes it; a text value is Isolated where the language is
// written right to left.
//
// A text with braces is a message pattern: "{1, plural, one {# day folder}
// other {# day folders}}" takes the form of the first value's count, in the
// plural forms of the locale's language, # standing for the number. %n and
// {n} alike stand for value n, and an apostrophe is always itself. A pattern
// that cannot be read comes back as written, with its %n filled in.
std::string FormatText(const std::string& text, const std::vector<TextValue>& values, const std::string& locale);

// True for a language written right to left ("ar", "he").
bool WrittenRightToLeft(const std::string& locale);
// The value set apart in a direction of its own (between U+2068 and U+2069),
// as a text written right to left holds a path, so that its slashes stay
// where they belong.
std::string Isolated(const std::string& value);

// False for a text with braces that is no message pattern: such a text
// would be shown as written.
bool CanFormat(const std::string& text);

// What is wrong with a text as the language of `locale` reads it: empty for
// a plain text and a sound pattern; else what is wrong (a pattern that cannot
// be read, a plural form the language does not have, or one that a count
// can take but the text leaves out).
std::string PatternProblem(const std::string& text, const std::string& locale);

}  // namespace quillfen
