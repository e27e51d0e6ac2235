#pragma once
// Builds the "invoke" calls into the movie and encodes values, in exactly the
// XML text the movie reads.
#include <memory>
#include <string>

#include "base/Variant.h"

namespace pugi {
class xml_document;
class xml_node;
}

namespace quillfen {

class WindowSystem;

// An encoded value: one element that owns what it needs, so it stays usable
// after the operation that made it, and can be appended to any call.
class XmlElement {
 public:
  XmlElement();
  ~XmlElement();
  XmlElement(const XmlElement&);
  XmlElement& operator=(const XmlElement&);
  // The element's XML text, without a trailing line break.
  std::string Xml() const;
  // The document holding the element as its root (internal to the codec).
  std::shared_ptr<pugi::xml_document> document;
};

class clsXMLProvider {
 public:
  // The window system shows the codec's fatal errors and ends the program.
  explicit clsXMLProvider(WindowSystem& window);
  ~clsXMLProvider();
  clsXMLProvider(const clsXMLProvider&) = delete;
  clsXMLProvider& operator=(const clsXMLProvider&) = delete;

  void InitializeXMLFunction(const std::string& strFunctionName);
  // Throws std::logic_error before InitializeXMLFunction.
  void ResetArguments();
  // Throws std::logic_error before InitializeXMLFunction, and
  // std::invalid_argument for an element that holds no encoded value.
  void AddXMLFunctionArgument(const XmlElement& argument);
  // The call's XML text without a trailing line break. Without a call: the
  // fatal "XML-данные не инициализированы" box, then the program ends.
  std::string GetWrappedXMLFunction() const;
  // Encodes a value. A value of another kind: the fatal
  // "Неизвестный тип данных: <tag>" box, then the program ends.
  XmlElement WrappArgument(const Variant& argument) const;
  // A standalone "string" document, with the trailing CR LF.
  std::string GetWrappedString(const std::string& someChar) const;

 private:
  // The call's "arguments" element; throws std::logic_error without a call.
  pugi::xml_node Arguments() const;

  WindowSystem& window_;
  std::unique_ptr<pugi::xml_document> call_;
};

}  // namespace quillfen
