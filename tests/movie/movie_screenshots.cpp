// Pictures of the movie page for the documentation: idle in English and in
// Russian, and in the middle of a move.
//   movie-screenshots <folder>   writes movie-en.png, movie-ru.png, movie-moving.png
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "MoviePage.h"

namespace {

using Captions = std::vector<std::pair<std::string, std::string>>;

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else out += c;
  }
  return out;
}

std::string String(const std::string& text) { return "<string>" + Escaped(text) + "</string>"; }

std::string Invoke(const std::string& name, const std::string& args) {
  return "<invoke name=\"" + name + "\" returntype=\"xml\"><arguments>" + args + "</arguments></invoke>";
}

std::string SetValue(const std::string& name, const std::string& value, int kind) {
  return Invoke("setValue", String(name) + value + "<number>" + std::to_string(kind) + "</number>");
}

std::string Array(const Captions& captions) {
  std::string members;
  for (const auto& [id, text] : captions) members += "<property id=\"" + id + "\">" + String(text) + "</property>";
  return "<array>" + members + "</array>";
}

const Captions kEnglish = {
    {"lblSource", "Source:"}, {"lblTarget", "Target:"},
    {"cmdBrowseSource", "Browse..."}, {"cmdBrowseTarget", "Browse..."},
    {"chkAutomoving", "Move pictures as soon as a card is inserted"},
    {"chkAutorun", "Offer Quillfen when a card is inserted"},
    {"chkAutoRename", "Give the pictures new numbers"},
    {"chkSubfolder", "Put them into the folder 261206"},
    {"cmdMove", "Move"}, {"cmdPause", "Pause"}, {"cmdCancel", "Cancel"},
};

const Captions kRussian = {
    {"lblSource", "Источник:"}, {"lblTarget", "Назначение:"},
    {"cmdBrowseSource", "Обзор..."}, {"cmdBrowseTarget", "Обзор..."},
    {"chkAutomoving", "Сразу переносить снимки при подключении карты"},
    {"chkAutorun", "Предлагать Quillfen при подключении карты"},
    {"chkAutoRename", "Давать снимкам новые номера"},
    {"chkSubfolder", "Складывать в папку 261206"},
    {"cmdMove", "Переместить"}, {"cmdPause", "Пауза"}, {"cmdCancel", "Отмена"},
};

struct Page {
  quillfen::movietest::MoviePage page{QUILLFEN_MOVIE_PAGE};
  explicit Page(const Captions& captions) {
    page.Answer("GetFormStrings", Array(captions));
    page.Load();
    page.WaitForRequests(2);
    for (const char* box : {"chkAutoRename", "chkSubfolder"}) page.Call(SetValue(box, "<true/>", 4));
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: movie-screenshots <folder>\n");
    return 2;
  }
  if (!gtk_init_check(&argc, &argv)) {
    std::fprintf(stderr, "no display\n");
    return 77;
  }
  const std::string folder = argv[1];
  bool written = true;
  {
    Page en(kEnglish);
    en.page.Call(SetValue("cmbSource", String("/media/ann/EOS_DIGITAL"), 1));
    en.page.Call(SetValue("cmbTarget", String("/home/ann/Pictures"), 1));
    en.page.Settle(300);
    written &= en.page.Snapshot(folder + "/movie-en.png");
  }
  {
    Page ru(kRussian);
    ru.page.Call(SetValue("cmbSource", String("/media/anna/EOS_DIGITAL"), 1));
    ru.page.Call(SetValue("cmbTarget", String("/home/anna/Изображения"), 1));
    ru.page.Settle(300);
    written &= ru.page.Snapshot(folder + "/movie-ru.png");
  }
  {
    Page moving(kEnglish);
    auto& page = moving.page;
    page.Call(SetValue("cmbSource", String("/media/ann/EOS_DIGITAL"), 1));
    page.Call(SetValue("cmbTarget", String("/home/ann/Pictures"), 1));
    page.Call(Invoke("SwitchControls", "<false/>"));
    page.Call(Invoke("setProgress", "<number>40</number>"));
    page.Call(SetValue("infoFrom", String("Moving from: /media/ann/EOS_DIGITAL/DCIM"), 1));
    page.Call(SetValue("infoTo", String("Moving to: /home/ann/Pictures/261206"), 1));
    page.Call(SetValue("infoOperation", String("Moving file \"IMG_0412.JPG\"..."), 1));
    page.Call(SetValue("infoExtra", String("Moving files"), 1));
    page.Settle(400);
    written &= page.Snapshot(folder + "/movie-moving.png");
  }
  if (!written) {
    std::fprintf(stderr, "a picture could not be taken\n");
    return 1;
  }
  std::printf("%s/movie-en.png\n%s/movie-ru.png\n%s/movie-moving.png\n", folder.c_str(), folder.c_str(), folder.c_str());
  return 0;
}
