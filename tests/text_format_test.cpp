// Values put into the texts of the language files: plain texts keep their
// wording, numbers take the language's digits and grouping, counts its
// plural forms; and what makes a text with a count faulty for its language.
#include "localization/TextFormat.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

const char* const kDayFolders = "into {1, plural, one {# day folder} other {# day folders}} in %2";
const char* const kRussianFolders = "в {1, plural, one {# папку} few {# папки} many {# папок} other {# папки}}";
const char* const kArabicFolders =
    "{1, plural, zero {لا مجلدات} one {مجلد واحد} two {مجلدان} few {# مجلدات} many {# مجلدًا} other {# مجلد}}";

TEST(TextFormatTest, ValuesTakeTheLanguagesWordsAndDigits) {
  struct Case {
    const char* text;
    std::vector<TextValue> values;
    const char* locale;
    const char* expected;
  };
  const Case cases[] = {
      // Texts without a count keep their wording; %n as it always was.
      {"from %1 to %2", {"/media/card", "/home/ann"}, "en", "from /media/card to /home/ann"},
      {"from %1 to %2 (%1)", {"a%2b", "X"}, "en", "from aXb to X (aXb)"},
      {"Need %1 MB, free %2 MB", {"120"}, "en", "Need 120 MB, free %2 MB"},
      {"it's 100% done", {}, "en", "it's 100% done"},
      // Numbers as the language writes them, in plain texts and patterns alike.
      {"%1 MB", {TextValue(1234567)}, "en", "1,234,567 MB"},
      {"%1 MB", {TextValue(1234567)}, "de", "1.234.567 MB"},
      {"%1 МБ", {TextValue(12345)}, "ru", "12\u00A0345 МБ"},
      {"%1 MB", {TextValue(999)}, "pt_BR", "999 MB"},
      {"%1", {TextValue(1234)}, "ar", "١٬٢٣٤"},
      // In a language written right to left a path keeps its own direction.
      {"من %1\nإلى %2", {"/media/card", "/home/ann"}, "ar", "من \u2068/media/card\u2069\nإلى \u2068/home/ann\u2069"},
      {"{1, plural, other {# קבצים}} ב־%2", {TextValue(3), "/x"}, "he", "3 קבצים ב־\u2068/x\u2069"},
      {"{1} MB", {TextValue(12345)}, "fr", "12\u202F345 MB"},
      // Counts choose the plural form; other values stay as they are.
      {kDayFolders, {TextValue(1), "/pics"}, "en", "into 1 day folder in /pics"},
      {kDayFolders, {TextValue(2), "/pics"}, "en", "into 2 day folders in /pics"},
      {kDayFolders, {TextValue(1001), "/pics"}, "en", "into 1,001 day folders in /pics"},
      {kRussianFolders, {TextValue(1)}, "ru", "в 1 папку"},
      {kRussianFolders, {TextValue(3)}, "ru", "в 3 папки"},
      {kRussianFolders, {TextValue(11)}, "ru", "в 11 папок"},
      {kRussianFolders, {TextValue(21)}, "ru", "в 21 папку"},
      {kArabicFolders, {TextValue(0)}, "ar", "لا مجلدات"},
      {kArabicFolders, {TextValue(2)}, "ar", "مجلدان"},
      {kArabicFolders, {TextValue(3)}, "ar", "٣ مجلدات"},
      {kArabicFolders, {TextValue(11)}, "ar", "١١ مجلدًا"},
      {kArabicFolders, {TextValue(100)}, "ar", "١٠٠ مجلد"},
      {"{1, plural, other {# 個のフォルダー}}", {TextValue(1)}, "ja", "1 個のフォルダー"},
      // An apostrophe is itself, also before a value.
      {"{1, plural, one {# dossier} other {# dossiers}} dans l'%2", {TextValue(2), "album"}, "fr",
       "2 dossiers dans l'album"},
      // A pattern that cannot be read is shown as written, its values put in.
      {"{1, plural, one {# file}", {TextValue(1)}, "en", "{1, plural, one {# file}"},
      {"{1, plural, one {# file} other {# files}} in %2", {"many", "/x"}, "en",
       "{1, plural, one {# file} other {# files}} in /x"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatText(c.text, c.values, c.locale), c.expected) << c.text << " " << c.locale;
}

TEST(TextFormatTest, FaultyCountTextsAreNamed) {
  struct Case {
    const char* text;
    const char* locale;
    const char* problem;  // part of the problem's description; empty: none
  };
  const Case cases[] = {
      {"No count here: %1", "ru", ""},
      {kDayFolders, "en", ""},
      {kRussianFolders, "ru", ""},
      {kArabicFolders, "ar", ""},
      {"{1, plural, other {# 枚}}", "ja", ""},
      {"{1, plural, =0 {none} one {# file} other {# files}}", "en", ""},
      {kDayFolders, "ru", "\"few\" is missing"},
      {"{1, plural, one {# photo} few {# photos} other {# photos}}", "en", "no plural form \"few\""},
      {"{1, plural, one {# fichier} other {# fichiers}}", "fr", "\"many\" is missing"},
      {"{1, plural, one {# file}}", "en", "not a message pattern"},
      {"{1, plural, one {# file} other {# files}", "en", "not a message pattern"},
  };
  for (const Case& c : cases) {
    const std::string problem = PatternProblem(c.text, c.locale);
    if (*c.problem == '\0') {
      EXPECT_EQ(problem, "") << c.text;
      EXPECT_TRUE(CanFormat(c.text)) << c.text;
    } else {
      EXPECT_NE(problem.find(c.problem), std::string::npos) << c.text << ": " << problem;
    }
  }
  EXPECT_FALSE(CanFormat("{1, plural, one {# file}}"));
  EXPECT_TRUE(CanFormat("a text without braces, even 50% of one"));
}

}  // namespace
}  // namespace quillfen
