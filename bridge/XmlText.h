#pragma once
// The XML text of the external interface as the movie reads it: no
// declaration, no white space between elements, attributes in the order they
// were set, short empty elements, and only the escapes the movie expects.
#include <string>

namespace pugi {
class xml_node;
}

namespace quillfen {

// The element's text, without a trailing line break.
std::string WriteElementXml(const pugi::xml_node& element);
// The text of a whole document: its root element followed by CR LF.
std::string WriteDocumentXml(const pugi::xml_node& root);

}  // namespace quillfen
