// Pictures of the movie page for the documentation, with the texts of the
// shipped language files: idle in English and in Russian, and in the middle
// of a move.
//   movie-screenshots <folder>   writes movie-en.png, movie-ru.png, movie-moving.png
#include <cstdio>
#include <string>

#include "HostCalls.h"
#include "LanguageFile.h"
#include "MoviePage.h"

namespace {

using namespace quillfen::movietest;

struct Language {
  Captions captions;
  Captions dialogs;
  std::string source;
  std::string target;

  explicit Language(const std::string& name, std::string sourcePath, std::string targetPath)
      : source(std::move(sourcePath)), target(std::move(targetPath)) {
    const std::string file = std::string(QUILLFEN_PROGRAM_DIR) + "/" + name + ".ini";
    captions = MovieCaptions(file);
    dialogs = ReadSection(file, "Dialogs");
  }
  std::string Dialog(const std::string& key) const { return TextOf(dialogs, key, key); }
};

// The page as the program leaves it after loading the settings.
void ShowSettings(MoviePage& page, const Language& language) {
  page.Answer("GetFormStrings", Array(language.captions));
  page.Load();
  page.WaitForRequests(2);
  page.Call(SetValue("chkAutomoving", "<false/>", 4));
  page.Call(SetValue("chkAutorun", "<true/>", 4));
  page.Call(SetValue("chkAutoRename", "<true/>", 4));
  page.Call(SetValue("chkSubfolder", "<true/>", 4));
  page.Call(SetValue("cmbTarget", String(language.target), 1));
  page.Call(SetValue("cmbSource", String(language.source), 1));
}

// The page while the fifth of a dozen pictures is being moved.
void ShowMove(MoviePage& page, const Language& language) {
  page.Call(SwitchControls(false));
  page.Call(SetProgress(40));
  page.Call(SetValue("infoFrom", String(language.Dialog("sourceMoving") + " " + language.source + "/DCIM"), 1));
  page.Call(SetValue("infoTo", String(language.Dialog("targetMoving") + " " + language.target + "/261206"), 1));
  page.Call(SetValue("infoOperation", String(language.Dialog("moving_file") + " \"IMG_0412.JPG\"..."), 1));
  page.Call(SetValue("infoExtra", String(language.Dialog("moving_files")), 1));
}

bool Picture(const Language& language, bool moving, const std::string& path) {
  MoviePage page(QUILLFEN_MOVIE_PAGE);
  ShowSettings(page, language);
  if (moving) ShowMove(page, language);
  page.Settle(300);
  bool taken = page.Snapshot(path);
  std::printf("%s%s\n", path.c_str(), taken ? "" : ": could not be taken");
  return taken;
}

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
  const Language english("English", "/media/ann/EOS_DIGITAL", "/home/ann/Pictures");
  const Language russian("Russian", "/media/anna/EOS_DIGITAL", "/home/anna/Изображения");
  bool taken = Picture(english, false, folder + "/movie-en.png");
  taken &= Picture(russian, false, folder + "/movie-ru.png");
  taken &= Picture(english, true, folder + "/movie-moving.png");
  return taken ? 0 : 1;
}
