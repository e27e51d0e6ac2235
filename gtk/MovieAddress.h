#pragma once
// Which addresses the movie's view may show: only the movie file itself.
#include <string>
#include <string_view>

namespace quillfen {

// The address without its fragment ("#..."): a jump inside the movie page is
// still the movie page.
inline std::string_view WithoutFragment(std::string_view uri) {
  auto hash = uri.find('#');
  return hash == std::string_view::npos ? uri : uri.substr(0, hash);
}

// True when uri names the movie file (movieUri is a file:// address). Anything
// else, another file beside it included, is not the movie.
inline bool IsMovieAddress(std::string_view uri, std::string_view movieUri) {
  if (movieUri.empty() || uri.empty()) return false;
  return WithoutFragment(uri) == WithoutFragment(movieUri);
}

}  // namespace quillfen
