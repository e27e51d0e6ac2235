#include "bridge/InvokeRequest.h"

#include <cstring>
#include <string_view>

#include <pugixml.hpp>

#include "base/Utf8.h"

namespace quillfen {

namespace {

// References are decoded here rather than by the parser, so that a reference
// to anything but the five predefined entities or a character refuses the
// request instead of passing through as text. No DOCTYPE is ever honoured.
constexpr unsigned kParseOptions =
    (pugi::parse_default & ~pugi::parse_escapes) | pugi::parse_doctype | pugi::parse_ws_pcdata_single;

bool IsXmlChar(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

bool AppendCharacterReference(std::string& out, std::string_view digits) {
  int base = 10;
  if (!digits.empty() && digits.front() == 'x') {
    base = 16;
    digits.remove_prefix(1);
  }
  if (digits.empty() || digits.size() > 8) return false;
  char32_t value = 0;
  for (char c : digits) {
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      return false;
    value = value * base + digit;
  }
  return IsXmlChar(value) && AppendUtf8(out, value);
}

bool AppendReference(std::string& out, std::string_view name) {
  if (name == "amp") out += '&';
  else if (name == "lt") out += '<';
  else if (name == "gt") out += '>';
  else if (name == "quot") out += '"';
  else if (name == "apos") out += '\'';
  else if (!name.empty() && name.front() == '#') return AppendCharacterReference(out, name.substr(1));
  else return false;
  return true;
}

// Appends the text with its references decoded; false when one is unknown
// or malformed.
bool AppendDecoded(std::string& out, std::string_view text) {
  while (!text.empty()) {
    const std::size_t amp = text.find('&');
    out += text.substr(0, amp);
    if (amp == std::string_view::npos) break;
    const std::size_t semicolon = text.find(';', amp);
    if (semicolon == std::string_view::npos) return false;
    if (!AppendReference(out, text.substr(amp + 1, semicolon - amp - 1))) return false;
    text.remove_prefix(semicolon + 1);
  }
  return true;
}

bool IsWhitespaceText(const pugi::xml_node& node) {
  if (node.type() != pugi::node_pcdata) return false;
  for (const char* p = node.value(); *p; ++p)
    if (!std::strchr(" \t\r\n", *p)) return false;
  return true;
}

// All text inside the node (or the node's own text), in document order.
// Walked without recursion, so that no nesting depth can exhaust the stack.
bool AppendTextContent(std::string& out, const pugi::xml_node& top) {
  pugi::xml_node node = top;
  for (;;) {
    if (node.type() == pugi::node_pcdata) {
      if (!AppendDecoded(out, node.value())) return false;
    } else if (node.type() == pugi::node_cdata) {
      out += node.value();
    }
    if (node.first_child()) {
      node = node.first_child();
      continue;
    }
    while (node != top && !node.next_sibling()) node = node.parent();
    if (node == top) return true;
    node = node.next_sibling();
  }
}

}  // namespace

std::optional<InvokeRequest> ReadInvokeRequest(const std::string& request) {
  if (!IsValidUtf8(request) || request.find('\0') != std::string::npos) return std::nullopt;

  pugi::xml_document document;
  if (!document.load_buffer(request.data(), request.size(), kParseOptions, pugi::encoding_utf8)) return std::nullopt;
  // Exactly one root element, and nothing else but a declaration at the top.
  int elements = 0;
  for (const pugi::xml_node& node : document.children()) {
    if (node.type() == pugi::node_element)
      ++elements;
    else if (node.type() != pugi::node_declaration)
      return std::nullopt;
  }
  if (elements != 1) return std::nullopt;

  const pugi::xml_node invoke = document.document_element();
  if (std::strcmp(invoke.name(), "invoke") != 0) return std::nullopt;
  const pugi::xml_attribute name = invoke.attribute("name");
  const pugi::xml_node arguments = invoke.child("arguments");
  if (!name || !arguments) return std::nullopt;

  InvokeRequest result;
  if (!AppendDecoded(result.name, name.value())) return std::nullopt;
  for (const pugi::xml_node& child : arguments.children()) {
    // White space between the argument elements is no argument.
    if (IsWhitespaceText(child)) continue;
    std::string& text = result.arguments.emplace_back();
    if (!AppendTextContent(text, child)) return std::nullopt;
  }
  // One entry beyond those sent, so a command reading one too far reads "".
  result.arguments.emplace_back();
  return result;
}

}  // namespace quillfen
