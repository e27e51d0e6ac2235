#include "localization/TextFormat.h"

#include <unicode/messagepattern.h>
#include <unicode/msgfmt.h>
#include <unicode/numfmt.h>
#include <unicode/plurrule.h>

#include <memory>
#include <set>

namespace quillfen {

namespace {

std::string Utf8(const icu::UnicodeString& text) {
  std::string out;
  text.toUTF8String(out);
  return out;
}

icu::UnicodeString Unicode(const std::string& text) { return icu::UnicodeString::fromUTF8(text); }

std::string NumberText(std::int64_t number, const icu::Locale& locale) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::NumberFormat> format(icu::NumberFormat::createInstance(locale, status));
  if (U_FAILURE(status) || !format) return std::to_string(number);
  icu::UnicodeString text;
  format->format(static_cast<int64_t>(number), text);
  return Utf8(text);
}

std::string IsolatedIn(const std::string& value, const icu::Locale& locale) {
  return locale.isRightToLeft() ? Isolated(value) : value;
}

std::string ValueText(const TextValue& value, const icu::Locale& locale) {
  if (const auto* number = std::get_if<std::int64_t>(&value.value)) return NumberText(*number, locale);
  return IsolatedIn(std::get<std::string>(value.value), locale);
}

// Each %n in turn replaced by value n, as the program always did: a value
// that holds a later placeholder has it replaced too.
std::string FillPlaceholders(std::string text, const std::vector<TextValue>& values, const icu::Locale& locale) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    const std::string what = "%" + std::to_string(i + 1);
    const std::string with = ValueText(values[i], locale);
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
      text.replace(at, what.size(), with);
  }
  return text;
}

bool IsPattern(const std::string& text) { return text.find('{') != std::string::npos; }

// The text in ICU's own pattern syntax: %n becomes {n}, and an apostrophe,
// which ICU reads as the start of quoted text, is written twice.
icu::UnicodeString IcuPattern(const std::string& text) {
  std::string pattern;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\'') {
      pattern += "''";
    } else if (c == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
      pattern += '{';
      while (i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '9') pattern += text[++i];
      pattern += '}';
    } else {
      pattern += c;
    }
  }
  return Unicode(pattern);
}

// The forms some whole count takes: those of 0 to 1000 and of the round
// millions, which some languages write in a form of their own.
std::set<std::string> WholeCountForms(const icu::PluralRules& rules) {
  std::set<std::string> forms;
  for (int n = 0; n <= 1000; ++n) forms.insert(Utf8(rules.select(static_cast<int32_t>(n))));
  for (double n : {1e6, 2e6, 1e7, 1e9}) forms.insert(Utf8(rules.select(n)));
  return forms;
}

// The selectors of the plural argument that starts at part `start`.
std::set<std::string> PluralSelectors(const icu::MessagePattern& pattern, int start) {
  std::set<std::string> selectors;
  const int limit = pattern.getLimitPartIndex(start);
  for (int i = start + 1; i < limit; ++i) {
    const icu::MessagePattern::Part& part = pattern.getPart(i);
    if (part.getType() == UMSGPAT_PART_TYPE_ARG_SELECTOR) selectors.insert(Utf8(pattern.getSubstring(part)));
    else if (part.getType() == UMSGPAT_PART_TYPE_MSG_START) i = pattern.getLimitPartIndex(i);
  }
  return selectors;
}

std::string PluralProblem(const std::set<std::string>& selectors, const std::set<std::string>& known,
                          const std::set<std::string>& needed) {
  for (const std::string& selector : selectors)
    if (selector.front() != '=' && !known.count(selector)) return "the language has no plural form \"" + selector + "\"";
  for (const std::string& form : needed)
    if (!selectors.count(form)) return "the plural form \"" + form + "\" is missing";
  return {};
}

}  // namespace

std::string FormatText(const std::string& text, const std::vector<TextValue>& values, const std::string& locale) {
  const icu::Locale where(locale.c_str());
  if (!IsPattern(text)) return FillPlaceholders(text, values, where);
  UErrorCode status = U_ZERO_ERROR;
  icu::MessageFormat format(IcuPattern(text), where, status);
  if (U_FAILURE(status)) return FillPlaceholders(text, values, where);
  // Value n is argument n; argument 0 is never used.
  std::vector<icu::Formattable> arguments(values.size() + 1);
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (const auto* number = std::get_if<std::int64_t>(&values[i].value))
      arguments[i + 1] = icu::Formattable(static_cast<int64_t>(*number));
    else
      arguments[i + 1] = icu::Formattable(Unicode(IsolatedIn(std::get<std::string>(values[i].value), where)));
  }
  icu::UnicodeString result;
  icu::FieldPosition ignore;
  format.format(arguments.data(), static_cast<int32_t>(arguments.size()), result, ignore, status);
  if (U_FAILURE(status)) return FillPlaceholders(text, values, where);
  return Utf8(result);
}

bool WrittenRightToLeft(const std::string& locale) { return icu::Locale(locale.c_str()).isRightToLeft(); }

// First strong isolate and pop directional isolate.
std::string Isolated(const std::string& value) { return "\u2068" + value + "\u2069"; }

bool CanFormat(const std::string& text) {
  if (!IsPattern(text)) return true;
  UErrorCode status = U_ZERO_ERROR;
  icu::MessageFormat format(IcuPattern(text), icu::Locale::getRoot(), status);
  return U_SUCCESS(status);
}

std::string PatternProblem(const std::string& text, const std::string& locale) {
  if (!IsPattern(text)) return {};
  UErrorCode status = U_ZERO_ERROR;
  icu::MessageFormat format(IcuPattern(text), icu::Locale(locale.c_str()), status);
  UParseError error{};
  icu::MessagePattern pattern(IcuPattern(text), &error, status);
  if (U_FAILURE(status)) return std::string("not a message pattern: ") + u_errorName(status);
  std::unique_ptr<icu::PluralRules> rules(icu::PluralRules::forLocale(icu::Locale(locale.c_str()), status));
  if (U_FAILURE(status) || !rules) return "no plural rules for " + locale;
  std::set<std::string> known;
  std::unique_ptr<icu::StringEnumeration> keywords(rules->getKeywords(status));
  for (const icu::UnicodeString* keyword = keywords ? keywords->snext(status) : nullptr; keyword && U_SUCCESS(status);
       keyword = keywords->snext(status))
    known.insert(Utf8(*keyword));
  const std::set<std::string> needed = WholeCountForms(*rules);
  for (int i = 0; i < pattern.countParts(); ++i) {
    const icu::MessagePattern::Part& part = pattern.getPart(i);
    if (part.getType() != UMSGPAT_PART_TYPE_ARG_START || part.getArgType() != UMSGPAT_ARG_TYPE_PLURAL) continue;
    std::string problem = PluralProblem(PluralSelectors(pattern, i), known, needed);
    if (!problem.empty()) return problem;
  }
  return {};
}

}  // namespace quillfen
