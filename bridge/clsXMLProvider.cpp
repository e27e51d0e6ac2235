#include "bridge/clsXMLProvider.h"

#include <pugixml.hpp>

namespace quillfen {
// Placeholder until the codec lands.
XmlElement::XmlElement() = default;
XmlElement::~XmlElement() = default;
XmlElement::XmlElement(const XmlElement&) = default;
XmlElement& XmlElement::operator=(const XmlElement&) = default;
std::string XmlElement::Xml() const { return {}; }
clsXMLProvider::clsXMLProvider(WindowSystem& window) : window_(window) {}
clsXMLProvider::~clsXMLProvider() = default;
void clsXMLProvider::InitializeXMLFunction(const std::string&) {}
void clsXMLProvider::ResetArguments() {}
void clsXMLProvider::AddXMLFunctionArgument(const XmlElement&) {}
std::string clsXMLProvider::GetWrappedXMLFunction() const { return {}; }
XmlElement clsXMLProvider::WrappArgument(const Variant&) const { return {}; }
std::string clsXMLProvider::GetWrappedString(const std::string&) const { return {}; }
}  // namespace quillfen
