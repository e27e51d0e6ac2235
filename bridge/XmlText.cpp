#include "bridge/XmlText.h"

#include <pugixml.hpp>

namespace quillfen {

namespace {

// In text: & < >. In attribute values: & < " (the movie's reader needs no
// more; a ">" in an attribute stays as it is). Line-break and tab characters
// that an XML reader would normalise (CR in text; CR, LF and tab in
// attributes) are written as character references, so that they arrive.
void AppendEscaped(std::string& out, const char* text, bool attribute) {
  for (const char* p = text; *p; ++p) {
    switch (*p) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>':
        if (attribute)
          out += '>';
        else
          out += "&gt;";
        break;
      case '"':
        if (attribute)
          out += "&quot;";
        else
          out += '"';
        break;
      case '\r': out += "&#13;"; break;
      case '\n':
        if (attribute)
          out += "&#10;";
        else
          out += '\n';
        break;
      case '\t':
        if (attribute)
          out += "&#9;";
        else
          out += '\t';
        break;
      default: out += *p;
    }
  }
}

void AppendStartTag(std::string& out, const pugi::xml_node& element) {
  out += '<';
  out += element.name();
  for (const pugi::xml_attribute& attribute : element.attributes()) {
    out += ' ';
    out += attribute.name();
    out += "=\"";
    AppendEscaped(out, attribute.value(), true);
    out += '"';
  }
}

}  // namespace

std::string WriteElementXml(const pugi::xml_node& element) {
  std::string out;
  // Walked without recursion, so that no nesting depth can exhaust the stack.
  pugi::xml_node node = element;
  for (;;) {
    bool descend = false;
    switch (node.type()) {
      case pugi::node_element:
        AppendStartTag(out, node);
        if (node.first_child()) {
          out += '>';
          descend = true;
        } else {
          out += "/>";
        }
        break;
      case pugi::node_pcdata:
      case pugi::node_cdata: AppendEscaped(out, node.value(), false); break;
      default: break;  // the codec creates elements and text only
    }
    if (descend) {
      node = node.first_child();
      continue;
    }
    // Close every element whose last child has been written.
    while (node != element && !node.next_sibling()) {
      node = node.parent();
      out += "</";
      out += node.name();
      out += '>';
    }
    if (node == element) break;
    node = node.next_sibling();
  }
  return out;
}

std::string WriteDocumentXml(const pugi::xml_node& root) { return WriteElementXml(root) + "\r\n"; }

}  // namespace quillfen
