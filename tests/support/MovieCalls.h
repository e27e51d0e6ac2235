#pragma once
// Reads the calls the program made into the movie back into values, so that
// tests look at what a call carries rather than search its text.
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quillfen::testing {

// One encoded value: <string>, <number>, <true/>, <false/> or an <array> of
// properties.
struct MovieValue {
  enum class Kind { String, Number, True, False, Array, Other };
  Kind kind = Kind::Other;
  std::string text;  // of a string or a number
  std::vector<std::pair<std::string, MovieValue>> properties;  // of an array, by id
};

struct MovieCall {
  std::string function;
  std::vector<MovieValue> arguments;
};

// Nothing when the text is not an "invoke" call.
std::optional<MovieCall> DecodeMovieCall(const std::string& xml);

// Of a list of calls (a ScriptedMovieHost's, in order):
// the values of every "setProgress" call, as written;
std::vector<std::string> ProgressValues(const std::vector<std::string>& calls);
// the value texts "setValue" gave one control, in order ("true"/"false" for
// a check box);
std::vector<std::string> ValuesSetFor(const std::vector<std::string>& calls, const std::string& control);
// every "setValue" of a check box (kind 4) as "name=true" or "name=false".
std::vector<std::string> CheckBoxPushes(const std::vector<std::string>& calls);

// What a page shows once it has taken a list of calls, as its script applies
// them: by control and kind ("cmdPause/2", a rename's captions being kind 2)
// the last value, the progress, and whether the controls are locked.
struct MoviePage {
  std::map<std::string, std::string> values;
  std::string progress = "0";
  bool locked = false;
  bool operator==(const MoviePage&) const = default;
};
// The page that took the calls from index `from` on.
MoviePage PageAfter(const std::vector<std::string>& calls, std::size_t from = 0);

}  // namespace quillfen::testing
