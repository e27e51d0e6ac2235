#include "bridge/clsXMLProvider.h"

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <type_traits>

#include "bridge/FixedTexts.h"
#include "bridge/XmlText.h"

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

void Encode(std::string& out, const Variant& argument) {
  std::visit(
      [&](const auto& value) {
        using T = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<T, std::int64_t>) {
          out += "<number>";
          out += std::to_string(value);
          out += "</number>";
        } else if constexpr (std::is_same_v<T, double>) {
          out += "<number>";
          out += NumberText(value);
          out += "</number>";
        } else if constexpr (std::is_same_v<T, std::string>) {
          // An empty string stays an element without text: <string/>.
          if (value.empty()) {
            out += "<string/>";
          } else {
            out += "<string>";
            AppendXmlText(out, value.c_str());
            out += "</string>";
          }
        } else if constexpr (std::is_same_v<T, bool>) {
          out += value ? "<true/>" : "<false/>";
        } else if constexpr (std::is_same_v<T, Collection>) {
          if (value.empty()) {
            out += "<array/>";
            return;
          }
          out += "<array>";
          for (const auto& [key, member] : value) {
            out += "<property id=\"";
            AppendXmlAttributeValue(out, key.c_str());
            out += "\">";
            Encode(out, member);
            out += "</property>";
          }
          out += "</array>";
        } else {
          static_assert(std::is_same_v<T, UnsupportedValue>);
          throw XmlEncodingError(XmlEncodingError::Cause::UnknownDataType,
                                 kUnknownDataType + std::to_string(value.typeTag));
        }
      },
      argument.value);
}

}  // namespace

void clsXMLProvider::InitializeXMLFunction(const std::string& functionName) {
  Call call;
  call.start = "<invoke name=\"";
  AppendXmlAttributeValue(call.start, functionName.c_str());
  call.start += "\" returntype=\"xml\">";
  call_ = std::move(call);
}

clsXMLProvider::Call& clsXMLProvider::StartedCall() {
  if (!call_) throw std::logic_error("clsXMLProvider: no call was started with InitializeXMLFunction");
  return *call_;
}

void clsXMLProvider::ResetArguments() { StartedCall().arguments.clear(); }

void clsXMLProvider::AddXMLFunctionArgument(const XmlElement& argument) {
  Call& call = StartedCall();
  if (argument.xml_.empty()) throw std::invalid_argument("clsXMLProvider: an argument must be an encoded value");
  call.arguments += argument.xml_;
}

std::string clsXMLProvider::GetWrappedXMLFunction() const {
  if (!call_) throw XmlEncodingError(XmlEncodingError::Cause::CallNotStarted, kXmlNotInitialized);
  std::string text = call_->start;
  if (call_->arguments.empty()) {
    text += "<arguments/>";
  } else {
    text += "<arguments>";
    text += call_->arguments;
    text += "</arguments>";
  }
  text += "</invoke>";
  return text;
}

XmlElement clsXMLProvider::WrappArgument(const Variant& argument) const {
  XmlElement element;
  Encode(element.xml_, argument);
  return element;
}

std::string clsXMLProvider::GetWrappedString(const std::string& text) const {
  std::string document;
  Encode(document, Variant(text));
  return document + "\r\n";
}

}  // namespace quillfen
