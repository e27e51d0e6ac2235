#include "bridge/clsXMLProvider.h"

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <type_traits>

#include <pugixml.hpp>

#include "base/AppNames.h"
#include "bridge/FixedTexts.h"
#include "bridge/XmlText.h"
#include "platform/WindowSystem.h"

namespace quillfen {

namespace {

// Locale-independent, so that the movie reads the same number whatever the
// user's locale. Integral values are plain digits; others the shortest
// decimal form that reads back as the same double; never an exponent.
std::string NumberText(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
  if (value == 0) return "0";  // also for -0
  char buffer[512];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  return std::string(buffer, result.ptr);
}

void Encode(pugi::xml_node parent, const Variant& argument, WindowSystem& window) {
  std::visit(
      [&](const auto& value) {
        using T = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<T, std::int64_t>) {
          parent.append_child("number").text().set(std::to_string(value).c_str());
        } else if constexpr (std::is_same_v<T, double>) {
          parent.append_child("number").text().set(NumberText(value).c_str());
        } else if constexpr (std::is_same_v<T, std::string>) {
          pugi::xml_node element = parent.append_child("string");
          // An empty string stays an element without text: <string/>.
          if (!value.empty()) element.text().set(value.c_str());
        } else if constexpr (std::is_same_v<T, bool>) {
          parent.append_child(value ? "true" : "false");
        } else if constexpr (std::is_same_v<T, Collection>) {
          pugi::xml_node array = parent.append_child("array");
          for (const auto& [key, member] : value) {
            pugi::xml_node property = array.append_child("property");
            property.append_attribute("id").set_value(key.c_str());
            Encode(property, member, window);
          }
        } else {
          static_assert(std::is_same_v<T, UnsupportedValue>);
          window.MessageBox(kUnknownDataType + std::to_string(value.typeTag), kAppTitle, BoxIcon::None,
                            BoxButtons::OK);
          window.EndProgram(kCodecFailureExitCode);
        }
      },
      argument.value);
}

}  // namespace

XmlElement::XmlElement() = default;
XmlElement::~XmlElement() = default;
XmlElement::XmlElement(const XmlElement&) = default;
XmlElement& XmlElement::operator=(const XmlElement&) = default;

std::string XmlElement::Xml() const {
  if (!document || !document->document_element()) return {};
  return WriteElementXml(document->document_element());
}

clsXMLProvider::clsXMLProvider(WindowSystem& window) : window_(window) {}
clsXMLProvider::~clsXMLProvider() = default;

void clsXMLProvider::InitializeXMLFunction(const std::string& strFunctionName) {
  auto call = std::make_unique<pugi::xml_document>();
  pugi::xml_node invoke = call->append_child("invoke");
  invoke.append_attribute("name").set_value(strFunctionName.c_str());
  invoke.append_attribute("returntype").set_value("xml");
  invoke.append_child("arguments");
  call_ = std::move(call);
}

pugi::xml_node clsXMLProvider::Arguments() const {
  if (!call_) throw std::logic_error("clsXMLProvider: no call was started with InitializeXMLFunction");
  return call_->document_element().child("arguments");
}

void clsXMLProvider::ResetArguments() {
  pugi::xml_node arguments = Arguments();
  while (pugi::xml_node child = arguments.first_child()) arguments.remove_child(child);
}

void clsXMLProvider::AddXMLFunctionArgument(const XmlElement& argument) {
  pugi::xml_node arguments = Arguments();
  if (!argument.document || !argument.document->document_element())
    throw std::invalid_argument("clsXMLProvider: an argument must be an encoded value");
  arguments.append_copy(argument.document->document_element());
}

std::string clsXMLProvider::GetWrappedXMLFunction() const {
  if (!call_) {
    window_.MessageBox(kXmlNotInitialized, kAppTitle, BoxIcon::Critical, BoxButtons::OK);
    window_.EndProgram(kCodecFailureExitCode);
  }
  std::string text = WriteDocumentXml(call_->document_element());
  text.resize(text.size() - 2);  // the CR LF that ends a document
  return text;
}

XmlElement clsXMLProvider::WrappArgument(const Variant& argument) const {
  XmlElement element;
  element.document = std::make_shared<pugi::xml_document>();
  Encode(*element.document, argument, window_);
  return element;
}

std::string clsXMLProvider::GetWrappedString(const std::string& someChar) const {
  pugi::xml_document document;
  pugi::xml_node element = document.append_child("string");
  if (!someChar.empty()) element.text().set(someChar.c_str());
  return WriteDocumentXml(element);
}

}  // namespace quillfen
