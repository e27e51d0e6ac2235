#pragma once
// Builds the "invoke" calls into the movie and encodes values, in exactly the
// XML text the movie reads.
#include <optional>
#include <string>

#include "base/Variant.h"

namespace quillfen {

class WindowSystem;

// An encoded value: one element that owns what it needs, so it stays usable
// after the operation that made it, and can be appended to any call.
class XmlElement {
 public:
  // The element's XML text, without a trailing line break.
  const std::string& Xml() const { return xml_; }

 private:
  friend class clsXMLProvider;
  std::string xml_;  // empty: no encoded value
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
  // A call started: its start tag and the text of its arguments so far.
  struct Call {
    std::string start;
    std::string arguments;
  };
  // The call; throws std::logic_error without one.
  Call& StartedCall();

  WindowSystem& window_;
  std::optional<Call> call_;
};

}  // namespace quillfen
