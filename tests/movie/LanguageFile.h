#pragma once
// The texts of a shipped language file, read plainly for the movie's tests
// and pictures: the movie's captions and a few status texts.
#include <string>
#include <utility>
#include <vector>

namespace quillfen::movietest {

using Captions = std::vector<std::pair<std::string, std::string>>;

// The movie's component names, in the order the page asks for them.
extern const std::vector<std::string> kMovieComponents;

// The key = text lines of one section, in file order; empty when the file or
// the section is missing. Quotes around a text are dropped.
Captions ReadSection(const std::string& path, const std::string& section);

// The movie's captions and tooltips of a language file, with the day
// folder's date filled in as the program does ("%1" -> yymmdd), and the
// page's language tag and direction ("lang", "dir").
Captions MovieCaptions(const std::string& path, const std::string& date = "261206");

// The text of one key, or `otherwise` when there is none.
std::string TextOf(const Captions& section, const std::string& key, const std::string& otherwise = "");

}  // namespace quillfen::movietest
