// The headless host: runs the program's objects on a transcript and prints
// the event log. Usage: quillfen-script <transcript> [argument...]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "app/GlobalModule.h"
#include "base/AppNames.h"
#include "app/frmQuillfen.h"
#include "localization/LanguageFiles.h"
#include "posix/FileRegistryHive.h"
#include "settings/AutoPlayKeys.h"
#include "posix/IniSettingsStore.h"
#include "posix/PosixFileSystem.h"
#include "posix/PosixSystemInfo.h"
#include "posix/XdgDesktopIntegration.h"
#include "script/EventLog.h"
#include "script/RecordingShell.h"
#include "script/ScriptedMovieHost.h"
#include "script/ScriptedWindowSystem.h"
#include "script/Transcript.h"
#include "script/TranscriptRunner.h"

namespace {

constexpr int kBadTranscript = 2;
constexpr int kProgramFailed = 70;

// The log is written in blocks: a move logs two lines a picture, and one
// write each cost as much as the move itself. It is flushed whenever the
// program waits (a box, a folder dialog, a "wait") and at the end, so a
// reader never waits for a line the program has already written. With
// QUILLFEN_LOG_EACH_LINE set, every line is out as soon as it happens (for
// measuring when events happen).
class LogPrinter {
 public:
  LogPrinter() : eachLine_(std::getenv("QUILLFEN_LOG_EACH_LINE") != nullptr) {}
  ~LogPrinter() { Flush(); }
  void Print(const std::string& line) {
    pending_ += line;
    pending_ += '\n';
    if (eachLine_ || pending_.size() >= kBlock) Flush();
  }
  void Flush() {
    if (pending_.empty()) return;
    std::fwrite(pending_.data(), 1, pending_.size(), stdout);
    std::fflush(stdout);
    pending_.clear();
  }

 private:
  static constexpr std::size_t kBlock = 1 << 16;
  const bool eachLine_;
  std::string pending_;
};

}  // namespace

int main(int argc, char** argv) {
  using namespace quillfen;
  if (argc < 2) {
    std::cerr << "usage: quillfen-script <transcript> [argument...]\n";
    return kBadTranscript;
  }
  const std::string path = argv[1];
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    std::cerr << "quillfen-script: cannot read transcript " << path << ": it is a folder\n";
    return kBadTranscript;
  }
  std::ifstream file(path);
  if (!file) {
    std::cerr << "quillfen-script: cannot read transcript " << path << ": " << std::strerror(errno) << "\n";
    return kBadTranscript;
  }
  std::vector<Instruction> instructions;
  try {
    // The Language menu lists the language files of the program folder.
    PosixFileSystem files;
    const auto languages = FindLanguages(files, PosixSystemInfo("").ProgramFolder()).size();
    instructions = ParseTranscript(file, static_cast<int>(languages));
  } catch (const TranscriptError& error) {
    std::cerr << "quillfen-script: " << path << ", line " << error.line << ": " << error.what() << "\n";
    return kBadTranscript;
  }
  if (file.bad()) {
    std::cerr << "quillfen-script: cannot read transcript " << path << "\n";
    return kBadTranscript;
  }

  try {
    LogPrinter printer;
    EventLog log;
    log.SetSink([&printer](const std::string& line) { printer.Print(line); }, [&printer] { printer.Flush(); });
    log.KeepLines(false);
    ScriptedWindowSystem window(log);
    ScriptedMovieHost movie(log, window);
    movie.KeepCalls(false);
    PosixFileSystem files;
    IniSettingsStore settings(IniSettingsStore::DefaultPath());
    FileRegistryHive registry(FileRegistryHive::DefaultPath(), autoplay::EventKeys());
    RecordingShell shell(log);
    // A card is offered to the desktop program beside the host, never to the
    // host, whichever of the two switches the offer or loads the settings.
    PosixSystemInfo system(JoinArguments(argc, argv, 2), kDesktopProgramName);
    XdgDesktopIntegration desktop;
    GlobalModule module(Platform{window, movie, files, settings, registry, shell, system, &desktop});
    frmQuillfen form(module.MainWindow());
    TranscriptRunner runner(window, movie, log);
    return runner.Run(form, instructions);
  } catch (const std::exception& error) {
    std::cerr << "quillfen-script: the program failed: " << error.what() << "\n";
    return kProgramFailed;
  }
}
