#include "LanguageFile.h"

#include <algorithm>
#include <fstream>

namespace quillfen::movietest {

const std::vector<std::string> kMovieComponents = {
    "cmbSource", "cmbTarget", "cmdBrowseSource", "cmdBrowseTarget", "lblSource", "lblTarget", "chkAutomoving",
    "chkAutorun", "chkAutoRename", "chkSubfolder", "cmdMove", "cmdPause", "cmdCancel", "progress"};

namespace {

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.pop_back();
  auto first = text.find_first_not_of(" \t");
  return first == std::string::npos ? std::string() : text.substr(first);
}

}  // namespace

Captions ReadSection(const std::string& path, const std::string& section) {
  Captions texts;
  std::ifstream file(path);
  std::string line;
  bool inSection = false;
  while (std::getline(file, line)) {
    line = Trimmed(line);
    if (!line.empty() && line.front() == '[') {
      inSection = line == "[" + section + "]";
      continue;
    }
    auto equals = line.find('=');
    if (!inSection || equals == std::string::npos) continue;
    std::string value = Trimmed(line.substr(equals + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    texts.emplace_back(Trimmed(line.substr(0, equals)), value);
  }
  return texts;
}

Captions MovieCaptions(const std::string& path, const std::string& date) {
  Captions captions;
  // The page's language and direction come first, as the program gives them.
  const Captions header = ReadSection(path, "Language");
  std::string tag = TextOf(header, "Locales", "en");
  tag = tag.substr(0, tag.find(' '));
  for (char& c : tag)
    if (c == '_') c = '-';
  captions.emplace_back("lang", tag);
  captions.emplace_back("dir", TextOf(header, "Direction", "ltr"));
  for (auto [key, text] : ReadSection(path, "frmQuillfen")) {
    // A component's caption, or its tooltip ("<name>:tooltip").
    const std::string component = key.substr(0, key.find(':'));
    if (text.empty() || (key != component && key != component + ":tooltip") ||
        std::find(kMovieComponents.begin(), kMovieComponents.end(), component) == kMovieComponents.end())
      continue;
    if (key == "chkSubfolder") {
      for (auto at = text.find("%1"); at != std::string::npos; at = text.find("%1", at + date.size()))
        text.replace(at, 2, date);
    }
    captions.emplace_back(key, text);
  }
  return captions;
}

std::string TextOf(const Captions& section, const std::string& key, const std::string& otherwise) {
  for (const auto& [name, text] : section)
    if (name == key) return text;
  return otherwise;
}

}  // namespace quillfen::movietest
