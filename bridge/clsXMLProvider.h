#pragma once
// Builds the "invoke" calls into the movie and encodes values, in exactly the
// XML text the movie reads. Encoding is pure: what cannot be encoded is
// reported to the caller, which decides what the user sees.
#include <optional>
#include <stdexcept>
#include <string>

#include "base/Variant.h"

namespace quillfen {

// What the encoder could not write; what() is the fixed text the user is
// shown about it (see bridge/FixedTexts.h).
class XmlEncodingError : public std::runtime_error {
 public:
  enum class Cause {
    CallNotStarted,   // a call wrapped before InitializeXMLFunction
    UnknownDataType,  // a value of a kind the movie cannot take
  };
  XmlEncodingError(Cause cause, const std::string& text) : std::runtime_error(text), cause_(cause) {}
  Cause cause() const { return cause_; }

 private:
  Cause cause_;
};

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
  void InitializeXMLFunction(const std::string& functionName);
  // Throws std::logic_error before InitializeXMLFunction.
  void ResetArguments();
  // Throws std::logic_error before InitializeXMLFunction, and
  // std::invalid_argument for an element that holds no encoded value.
  void AddXMLFunctionArgument(const XmlElement& argument);
  // The call's XML text without a trailing line break. Without a call:
  // XmlEncodingError (CallNotStarted, "XML-данные не инициализированы").
  std::string GetWrappedXMLFunction() const;
  // Encodes a value. A value of another kind, however deep in a collection:
  // XmlEncodingError (UnknownDataType, "Неизвестный тип данных: <tag>").
  XmlElement WrappArgument(const Variant& argument) const;
  // A standalone "string" document, with the trailing CR LF.
  std::string GetWrappedString(const std::string& text) const;

 private:
  // A call started: its start tag and the text of its arguments so far.
  struct Call {
    std::string start;
    std::string arguments;
  };
  // The call; throws std::logic_error without one.
  Call& StartedCall();

  std::optional<Call> call_;
};

}  // namespace quillfen
