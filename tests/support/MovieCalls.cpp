#include "support/MovieCalls.h"

#include <cstring>

#include <pugixml.hpp>

namespace quillfen::testing {

namespace {

MovieValue Decode(const pugi::xml_node& node) {
  MovieValue value;
  const char* name = node.name();
  if (std::strcmp(name, "string") == 0) {
    value.kind = MovieValue::Kind::String;
    value.text = node.text().get();
  } else if (std::strcmp(name, "number") == 0) {
    value.kind = MovieValue::Kind::Number;
    value.text = node.text().get();
  } else if (std::strcmp(name, "true") == 0) {
    value.kind = MovieValue::Kind::True;
    value.text = "true";
  } else if (std::strcmp(name, "false") == 0) {
    value.kind = MovieValue::Kind::False;
    value.text = "false";
  } else if (std::strcmp(name, "array") == 0) {
    value.kind = MovieValue::Kind::Array;
    for (const pugi::xml_node& property : node.children("property"))
      value.properties.emplace_back(property.attribute("id").value(), Decode(property.first_child()));
  }
  return value;
}

template <typename Visit>
void ForEachCall(const std::vector<std::string>& calls, const char* function, Visit visit) {
  for (const std::string& text : calls) {
    const std::optional<MovieCall> call = DecodeMovieCall(text);
    if (call && call->function == function) visit(*call);
  }
}

}  // namespace

std::optional<MovieCall> DecodeMovieCall(const std::string& xml) {
  pugi::xml_document document;
  if (!document.load_buffer(xml.data(), xml.size(), pugi::parse_default | pugi::parse_ws_pcdata_single)) return {};
  const pugi::xml_node invoke = document.child("invoke");
  if (!invoke) return std::nullopt;
  MovieCall call;
  call.function = invoke.attribute("name").value();
  for (const pugi::xml_node& argument : invoke.child("arguments").children()) call.arguments.push_back(Decode(argument));
  return call;
}

std::vector<std::string> ProgressValues(const std::vector<std::string>& calls) {
  std::vector<std::string> values;
  ForEachCall(calls, "setProgress", [&](const MovieCall& call) {
    if (!call.arguments.empty()) values.push_back(call.arguments[0].text);
  });
  return values;
}

std::vector<std::string> ValuesSetFor(const std::vector<std::string>& calls, const std::string& control) {
  std::vector<std::string> values;
  ForEachCall(calls, "setValue", [&](const MovieCall& call) {
    if (call.arguments.size() >= 2 && call.arguments[0].text == control) values.push_back(call.arguments[1].text);
  });
  return values;
}

std::vector<std::string> CheckBoxPushes(const std::vector<std::string>& calls) {
  std::vector<std::string> pushes;
  ForEachCall(calls, "setValue", [&](const MovieCall& call) {
    if (call.arguments.size() == 3 && call.arguments[2].text == "4")
      pushes.push_back(call.arguments[0].text + "=" + call.arguments[1].text);
  });
  return pushes;
}

MoviePage PageAfter(const std::vector<std::string>& calls, std::size_t from) {
  MoviePage page;
  for (std::size_t i = from; i < calls.size(); ++i) {
    const std::optional<MovieCall> call = DecodeMovieCall(calls[i]);
    if (!call) continue;
    const std::vector<MovieValue>& a = call->arguments;
    if (call->function == "setValue" && a.size() == 3) {
      page.values[a[0].text + "/" + a[2].text] = a[1].text;
    } else if (call->function == "setProgress" && a.size() == 1) {
      page.progress = a[0].text;
    } else if (call->function == "SwitchControls" && a.size() == 1) {
      page.locked = a[0].kind == MovieValue::Kind::False;
    } else if (call->function == "renameControls" && a.size() == 1) {
      for (const auto& [name, caption] : a[0].properties) page.values[name + "/2"] = caption.text;
    }
  }
  return page;
}

}  // namespace quillfen::testing
