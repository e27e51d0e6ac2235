// The movie's requests, read and dispatched into the whole program over
// in-memory ports: message boxes and folder dialogs answered from the input,
// the card, the target and the program's files in the in-memory file system,
// where nothing a request names can reach the machine's own files. After
// each input every file is still there exactly once, wherever it went.
//
// Input: a first byte choosing box answers, a second choosing folder-dialog
// answers, then one request per line. "%JAIL%" in a request stands for the
// folder that holds the card and the target, so seeds can name them.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/GlobalModule.h"
#include "app/frmQuillfen.h"
#include "memory/FixedSystemInfo.h"
#include "memory/MemoryFileSystem.h"
#include "memory/MemoryRegistryHive.h"
#include "memory/MemorySettingsStore.h"
#include "script/EventLog.h"
#include "script/RecordingShell.h"
#include "script/ScriptedMovieHost.h"
#include "script/ScriptedWindowSystem.h"
#include "support/TempDir.h"

using namespace quillfen;

namespace {

constexpr std::size_t kMaxRequests = 24;
const std::string kJail = "/jail";
const std::string kProgramFolder = "/program";

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

// The language files, read once from the sources.
const std::map<std::string, std::string>& LanguageFiles() {
  static const std::map<std::string, std::string> files = [] {
    std::map<std::string, std::string> read;
    for (const char* language : {"English.ini", "Russian.ini"})
      read[language] = testing::ReadFileAt(std::string(QUILLFEN_SOURCE_DIR) + "/lang/" + language);
    return read;
  }();
  return files;
}

// Every file's content below the folder, counted.
void CountContents(const MemoryFileSystem& files, const std::string& folder, std::map<std::string, int>& contents) {
  std::vector<FileEntry> entries;
  std::vector<std::string> subfolders;
  (void)files.ListFiles(folder, entries);
  (void)files.ListSubfolders(folder, subfolders);
  for (const FileEntry& entry : entries) ++contents[files.Contents(entry.path).value_or("")];
  for (const std::string& subfolder : subfolders) CountContents(files, subfolder, contents);
}

std::map<std::string, int> Contents(const MemoryFileSystem& files) {
  std::map<std::string, int> contents;
  CountContents(files, "/", contents);
  return contents;
}

std::string Substitute(std::string text) {
  const std::string marker = "%JAIL%";
  for (std::size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at + kJail.size()))
    text.replace(at, marker.size(), kJail);
  return text;
}

struct Program {
  EventLog log;
  ScriptedWindowSystem window{log};
  ScriptedMovieHost movie{log, window};
  MemoryFileSystem files;
  MemorySettingsStore settings;
  MemoryRegistryHive registry;
  RecordingShell shell{log};
  FixedSystemInfo system;
  GlobalModule module{Platform{window, movie, files, settings, registry, shell, system, nullptr}};
  frmQuillfen form{module.MainWindow()};

  Program() {
    system.programFolder = kProgramFolder;
    for (const auto& [name, text] : LanguageFiles()) files.Put(kProgramFolder + "/" + name, text);
    for (const auto& [relative, content] : kStartFiles) files.Put(kJail + "/" + relative, content);
  }

  void Settle() {
    while (window.HasPendingEvents()) window.PumpEvents();
  }
};

void QueueAnswers(Program& program, std::uint8_t boxes, std::uint8_t folders) {
  // Two bits a box: OK, Cancel, Retry, or none (the box's own default).
  for (int i = 0; i < 4; ++i) {
    switch ((boxes >> (2 * i)) & 3) {
      case 0: program.window.QueueAnswer(BoxAnswer::OK); break;
      case 1: program.window.QueueAnswer(BoxAnswer::Cancel); break;
      case 2: program.window.QueueAnswer(BoxAnswer::Retry); break;
      default: break;
    }
  }
  const std::string choices[] = {kJail + "/card", kJail + "/target", kJail + "/card/DCIM", "/"};
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
  if (size < 2) return 0;
  Program program;
  const std::map<std::string, int> before = Contents(program.files);
  QueueAnswers(program, data[0], data[1]);
  const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
  try {
    program.form.Form_Load();
    program.Settle();
    std::size_t start = 0;
    for (std::size_t n = 0; n < kMaxRequests && start <= text.size(); ++n) {
      std::size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      program.movie.Request(Substitute(text.substr(start, end - start)));
      program.Settle();
      program.window.Wait(150);
      start = end + 1;
    }
    program.window.Wait(8000);
  } catch (const ProgramEnded&) {
    // A fatal error the program reports itself: the end of this input.
  }
  if (Contents(program.files) != before) {
    std::fprintf(stderr, "request_fuzz: the pictures are not all there exactly once after this input\n");
    std::abort();
  }
  return 0;
}
