#pragma once
// Reading of a request the movie sends.
#include <optional>
#include <string>
#include <vector>

namespace quillfen {

struct InvokeRequest {
  std::string name;
  // The text of each argument element in order, plus one empty last entry.
  std::vector<std::string> arguments;
};

// Reads an "invoke" request; nothing when the text is not well-formed XML or
// lacks the "invoke" element, its "name" attribute or its "arguments".
std::optional<InvokeRequest> ReadInvokeRequest(const std::string& request);

}  // namespace quillfen
