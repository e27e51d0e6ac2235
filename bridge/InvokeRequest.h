#pragma once
// Reads a request the movie sends into its function name and argument texts.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quillfen {

struct InvokeRequest {
  std::string name;
  // The text of each argument element in order, plus one empty last entry.
  std::vector<std::string> arguments;
};

// The longest request the movie may send. Its longest, a path of the longest
// length the system allows with every character escaped, stays far below
// it; the dispatcher refuses a larger text before it is read, so that no
// request can hold the interface for seconds or fill memory with millions of
// arguments.
constexpr std::size_t kMaxRequestBytes = 64 * 1024;

// Reads an "invoke" request; nothing when the text is not well-formed XML or
// lacks the "invoke" element, its "name" attribute or its "arguments".
std::optional<InvokeRequest> ReadInvokeRequest(const std::string& request);

}  // namespace quillfen
