// The encoder of the values the program sends into the movie: any value built
// from the input, however nested, is written as XML that a conforming reader
// (end-of-line and attribute normalisation included, and text of blanks
// kept, as the movie's DOMParser does) reads back as the same value, and as a call the program's
// own request reader takes apart again. A value of an unknown kind is
// refused by the encoder, and the bridge then ends the program through its
// fatal box; nothing else is ever refused.
#include <fuzzer/FuzzedDataProvider.h>

#include <pugixml.hpp>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FuzzCheck.h"
#include "base/Utf8.h"
#include "bridge/EncodingFailure.h"
#include "bridge/InvokeRequest.h"
#include "bridge/clsXMLProvider.h"
#include "script/EventLog.h"
#include "script/ScriptedWindowSystem.h"

using namespace quillfen;

namespace {

constexpr int kMaxDepth = 24;

struct Builder {
  FuzzedDataProvider& input;
  int budget = 400;  // values in one input
  bool unsupported = false;

  Variant Build(int depth) {
    --budget;
    switch (input.ConsumeIntegralInRange(0, 19)) {
      case 0: case 1: case 2: return Variant(input.ConsumeIntegral<std::int64_t>());
      case 3: case 4: {
        const std::uint64_t bits = input.ConsumeIntegral<std::uint64_t>();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return Variant(value);
      }
      case 5: return Variant(input.ConsumeFloatingPoint<double>());
      case 6: return Variant(input.ConsumeBool());
      case 7:
        unsupported = true;
        return Variant(UnsupportedValue{input.ConsumeIntegralInRange(0, 10)});
      case 8: case 9: case 10: case 11: {
        if (depth >= kMaxDepth || budget <= 0) return Variant(std::string());
        Collection members;
        const int count = input.ConsumeIntegralInRange(0, 6);
        for (int i = 0; i < count && budget > 0; ++i) {
          std::string key = input.ConsumeRandomLengthString(24);
          members.emplace_back(std::move(key), Build(depth + 1));
        }
        return Variant(std::move(members));
      }
      default: return Variant(input.ConsumeRandomLengthString(64));
    }
  }
};

// A text that XML 1.0 can carry as it is: valid UTF-8 of characters allowed
// in a document. Anything else cannot reach the movie unchanged in any form.
bool XmlCarries(const std::string& text) {
  if (!IsValidUtf8(text)) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') return false;
    // U+FFFE and U+FFFF: EF BF BE / EF BF BF.
    if (c == 0xEF && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xBF &&
        static_cast<unsigned char>(text[i + 2]) >= 0xBE)
      return false;
  }
  return true;
}

bool Matches(const pugi::xml_node& node, const Variant& value) {
  if (node.type() != pugi::node_element) return false;
  const std::string name = node.name();
  return std::visit(
      [&](const auto& v) -> bool {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::int64_t>) {
          return name == "number" && node.text().get() == std::to_string(v);
        } else if constexpr (std::is_same_v<T, double>) {
          const std::string text = node.text().get();
          if (name != "number") return false;
          if (std::isnan(v)) return text == "NaN";
          if (std::isinf(v)) return text == (v > 0 ? "Infinity" : "-Infinity");
          if (text.find_first_of("eE") != std::string::npos) return false;  // never an exponent
          return std::strtod(text.c_str(), nullptr) == v;
        } else if constexpr (std::is_same_v<T, std::string>) {
          if (name != "string") return false;
          return !XmlCarries(v) || node.text().get() == v;
        } else if constexpr (std::is_same_v<T, bool>) {
          return name == (v ? "true" : "false") && !node.first_child();
        } else if constexpr (std::is_same_v<T, Collection>) {
          if (name != "array") return false;
          pugi::xml_node property = node.first_child();
          for (const auto& [key, member] : v) {
            if (!property || std::strcmp(property.name(), "property") != 0) return false;
            if (XmlCarries(key) && property.attribute("id").value() != key) return false;
            const pugi::xml_node content = property.first_child();
            if (!content || content.next_sibling() || !Matches(content, member)) return false;
            property = property.next_sibling();
          }
          return !property;
        } else {
          return false;
        }
      },
      value.value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  Builder builder{input};
  const Variant value = builder.Build(0);

  EventLog log;
  ScriptedWindowSystem window(log);
  clsXMLProvider xml;
  XmlElement element;
  try {
    element = EncodedOrEnd(window, [&] { return xml.WrappArgument(value); });
  } catch (const ProgramEnded&) {
    FUZZ_CHECK(builder.unsupported, "only a value of an unknown kind ends the program");
    return 0;
  }
  FUZZ_CHECK(!builder.unsupported, "a value of an unknown kind is never encoded");

  const std::string text = element.Xml();
  pugi::xml_document document;
  FUZZ_CHECK(document.load_buffer(text.data(), text.size(), pugi::parse_default | pugi::parse_ws_pcdata, pugi::encoding_utf8),
             "an encoded value is well-formed XML");
  FUZZ_CHECK(Matches(document.first_child(), value), "an encoded value reads back as the same value");

  // The value as the argument of a call, read by the program's own reader.
  xml.InitializeXMLFunction("setValue");
  xml.AddXMLFunctionArgument(element);
  const std::string call = xml.GetWrappedXMLFunction();
  const std::optional<InvokeRequest> request = ReadInvokeRequest(call);
  if (XmlCarries(call)) {
    FUZZ_CHECK(request.has_value(), "the program reads its own call");
    FUZZ_CHECK(request->name == "setValue" && request->arguments.size() == 2, "the call has its one argument");
    if (const auto* s = std::get_if<std::string>(&value.value); s && XmlCarries(*s))
      FUZZ_CHECK(request->arguments[0] == *s, "a string argument reads back");
  }
  return 0;
}
