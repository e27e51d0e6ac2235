#pragma once
// The "invoke" texts the program sends into the movie, written by hand the
// way the program writes them, for the movie's tests and pictures.
#include <string>

#include "LanguageFile.h"

namespace quillfen::movietest {

inline std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (c == '\r') out += "&#13;";
    else out += c;
  }
  return out;
}

inline std::string Invoke(const std::string& name, const std::string& args) {
  return "<invoke name=\"" + name + "\" returntype=\"xml\">" +
         (args.empty() ? "<arguments/>" : "<arguments>" + args + "</arguments>") + "</invoke>";
}

inline std::string String(const std::string& text) {
  return text.empty() ? "<string/>" : "<string>" + Escaped(text) + "</string>";
}

inline std::string Array(const Captions& captions) {
  std::string members;
  for (const auto& [id, text] : captions) members += "<property id=\"" + id + "\">" + String(text) + "</property>";
  return members.empty() ? "<array/>" : "<array>" + members + "</array>";
}

inline std::string SetValue(const std::string& name, const std::string& value, int kind) {
  return Invoke("setValue", String(name) + value + "<number>" + std::to_string(kind) + "</number>");
}

inline std::string SetProgress(int percent) {
  return Invoke("setProgress", "<number>" + std::to_string(percent) + "</number>");
}

inline std::string SwitchControls(bool enabled) {
  return Invoke("SwitchControls", enabled ? "<true/>" : "<false/>");
}

}  // namespace quillfen::movietest
