#pragma once
// Escapes text for the XML that passes between the program and the movie, as
// the movie reads it: no declaration, no white space between elements,
// attributes in the order they are written, short empty elements, and only
// the escapes the movie expects.
// The calls are written straight as text: one picture's progress is a few
// short elements, and building a document tree for each cost more than the
// move's own work within one volume.
#include <string>

namespace quillfen {

// Appends `text` up to its first NUL, escaped for element text.
void AppendXmlText(std::string& out, const char* text);
// Appends `value` up to its first NUL, escaped for an attribute value.
void AppendXmlAttributeValue(std::string& out, const char* value);

}  // namespace quillfen
