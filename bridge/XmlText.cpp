#include "bridge/XmlText.h"

#include <cstring>

namespace quillfen {

namespace {

// In text: & < >. In attribute values: & < " (the movie's reader needs no
// more; a ">" in an attribute stays as it is). Line-break and tab characters
// that an XML reader would normalise (CR in text; CR, LF and tab in
// attributes) are written as character references, so that they arrive.
void AppendEscaped(std::string& out, const char* text, bool attribute) {
  const char* const escaped = attribute ? "&<\"\r\n\t" : "&<>\r";
  for (const char* p = text;; ++p) {
    const std::size_t plain = std::strcspn(p, escaped);
    out.append(p, plain);
    p += plain;
    switch (*p) {
      case '\0': return;
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\r': out += "&#13;"; break;
      case '\n': out += "&#10;"; break;
      case '\t': out += "&#9;"; break;
    }
  }
}

}  // namespace

void AppendXmlText(std::string& out, const char* text) { AppendEscaped(out, text, false); }

void AppendXmlAttributeValue(std::string& out, const char* value) { AppendEscaped(out, value, true); }

}  // namespace quillfen
