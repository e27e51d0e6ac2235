// The movie's requests, read and dispatched into the whole program over
// in-memory ports: message boxes and folder dialogs answered from the input,
// files only inside a private folder. After each input every picture of the
// private card and target is still there exactly once, and nothing else was
// left behind.
//
// Input: a first byte choosing box answers, a second choosing folder-dialog
// answers, then one request per line. "%JAIL%" in a request stands for the
// private folder, so seeds can name the card and the target.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "JailedFileSystem.h"
#include "MemoryVolume.h"
#include "app/GlobalModule.h"
#include "app/frmQuillfen.h"
#include "script/EventLog.h"
#include "memory/FixedSystemInfo.h"
#include "memory/MemorySettingsStore.h"
#include "script/RecordingShell.h"
#include "script/ScriptedMovieHost.h"
#include "script/ScriptedWindowSystem.h"
#include "memory/MemoryRegistryHive.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using namespace quillfen;

namespace {

constexpr std::size_t kMaxRequests = 24;

struct Folders {
  testing::TempDir program{fuzzing::MemoryVolume(), "quillfen-fuzz-program"};  // language files, read only
  testing::TempDir jail{fuzzing::MemoryVolume(), "quillfen-fuzz-jail"};        // the card and the target
  std::string programFolder = program.path();
  std::string jailFolder = jail.path();

  Folders() {
    for (const char* language : {"English.ini", "Russian.ini"})
      fs::copy_file(fs::path(QUILLFEN_SOURCE_DIR) / "lang" / language, fs::path(programFolder) / language);
  }
};

const Folders& TheFolders() {
  static const Folders folders;
  return folders;
}

// The card and the target as every input finds them; each file's content is
// unique, so where it ends up shows whether it was lost or copied twice.
const std::map<std::string, std::string> kStartFiles = {
    {"card/DCIM/100TEST/IMG_0001.JPG", "picture one"},
    {"card/DCIM/100TEST/IMG_0002.JPG", "picture two"},
    {"card/DCIM/101TEST/img_0007.jpg", "picture seven"},
    {"card/DCIM/101TEST/NOTES.TXT", "not a picture"},
    {"card/DCIM/.hidden.JPG", "a hidden picture"},
    {"target/IMG_0001.JPG", "already in the target"},
    {"target/12.jpg", "numbered twelve"},
};

void ResetJail(const std::string& jail) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(jail)) fs::remove_all(entry.path(), ec);
  for (const auto& [relative, content] : kStartFiles) {
    const fs::path path = fs::path(jail) / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
  }
}

// Every file's content, counted, wherever it is in the jail.
std::map<std::string, int> ContentsIn(const std::string& jail) {
  std::map<std::string, int> contents;
  for (const auto& entry : fs::recursive_directory_iterator(jail)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    ++contents[text.str()];
  }
  return contents;
}

std::string Substitute(std::string text, const std::string& jail) {
  const std::string marker = "%JAIL%";
  for (std::size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at + jail.size()))
    text.replace(at, marker.size(), jail);
  return text;
}

struct Program {
  EventLog log;
  ScriptedWindowSystem window{log};
  ScriptedMovieHost movie{log, window};
  fuzzing::JailedFileSystem files;
  MemorySettingsStore settings;
  MemoryRegistryHive registry;
  RecordingShell shell{log};
  FixedSystemInfo system;
  GlobalModule module;
  frmQuillfen form;

  explicit Program(const Folders& folders)
      : files(folders.jailFolder, folders.programFolder),
        system(ProgramSystem(folders.programFolder)),
        module(Platform{window, movie, files, settings, registry, shell, system, nullptr}),
        form(module) {}

  static FixedSystemInfo ProgramSystem(const std::string& programFolder) {
    FixedSystemInfo info;
    info.programFolder = programFolder;
    return info;
  }

  void Settle() {
    while (window.HasPendingEvents()) window.PumpEvents();
  }
};

void QueueAnswers(Program& program, std::uint8_t boxes, std::uint8_t folders, const std::string& jail) {
  // Two bits a box: OK, Cancel, Retry, or none (the box's own default).
  for (int i = 0; i < 4; ++i) {
    switch ((boxes >> (2 * i)) & 3) {
      case 0: program.window.QueueAnswer(BoxAnswer::OK); break;
      case 1: program.window.QueueAnswer(BoxAnswer::Cancel); break;
      case 2: program.window.QueueAnswer(BoxAnswer::Retry); break;
      default: break;
    }
  }
  const std::string choices[] = {jail + "/card", jail + "/target", jail + "/card/DCIM", "/"};
  for (int i = 0; i < 2; ++i) {
    const int choice = (folders >> (3 * i)) & 7;
    if (choice < 4)
      program.window.QueueFolder(choices[choice]);
    else
      program.window.QueueFolder(std::nullopt);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Folders& folders = TheFolders();
  if (size < 2) return 0;
  ResetJail(folders.jailFolder);
  const std::map<std::string, int> before = ContentsIn(folders.jailFolder);

  {
    Program program(folders);
    QueueAnswers(program, data[0], data[1], folders.jailFolder);
    const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
    try {
      program.form.Form_Load();
      program.Settle();
      std::size_t start = 0;
      for (std::size_t n = 0; n < kMaxRequests && start <= text.size(); ++n) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        program.movie.Request(Substitute(text.substr(start, end - start), folders.jailFolder));
        program.Settle();
        program.window.Wait(150);
        start = end + 1;
      }
      program.window.Wait(8000);
    } catch (const ProgramEnded&) {
      // A fatal error the program reports itself: the end of this input.
    }
  }

  if (ContentsIn(folders.jailFolder) != before) {
    std::fprintf(stderr, "request_fuzz: the pictures are not all there exactly once after this input\n");
    std::abort();
  }
  return 0;
}
