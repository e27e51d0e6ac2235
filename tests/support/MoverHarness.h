#pragma once
// The program's objects over a card and a picture folder, for the mover's
// tests: options set as the user would, and the event log read back as boxes
// and movie calls. MoverHarness keeps both folders in memory; DiskMoverHarness
// on a disk, for tests that need real volumes.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bridge/clsSWFProvider.h"
#include "localization/clsLanguageProvider.h"
#include "memory/MemoryFileSystem.h"
#include "mover/clsFSMoving.h"
#include "settings/clsSettings.h"
#include "support/MemoryFolder.h"
#include "support/MovieCalls.h"
#include "support/OverlayFileSystem.h"
#include "support/TempDir.h"
#include "support/TestProgram.h"

namespace quillfen::testing {

class MoverHarnessBase {
 public:
  TestProgram program;
  OverlayFileSystem overlay;
  const std::string card;
  const std::string pictures;

  MoverHarnessBase(const MoverHarnessBase&) = delete;
  MoverHarnessBase& operator=(const MoverHarnessBase&) = delete;

  GlobalModule& module() { return *program.module; }
  clsFSMoving& mover() { return module().objFSMoving(); }

  // The options as the movie reports them while no move runs.
  void Options(bool autoRename, bool subfolder) {
    module().settingsLock().Release();
    module().objSettings().SaveParameter("AutoRename", autoRename);
    module().objSettings().SaveParameter("Subfolder", subfolder);
  }

  std::string Text(const std::string& key, const std::vector<TextValue>& values = {}) {
    return module().objLanguageProvider().GetDialog(key, values);
  }

  // A box line of the event log, as the window system writes it.
  static std::string Box(const std::string& icon, const std::string& buttons, const std::string& title,
                         const std::string& text, const std::string& answer) {
    return "box " + icon + " " + buttons + " title=" + EscapeLogText(title) + " text=" + EscapeLogText(text) +
           " -> " + answer;
  }
  std::vector<std::string> Boxes() const { return program.log.Matching("box "); }
  // The confirmation as the user sees it for the current source and target folder.
  std::string Confirmation(const std::string& targetFolder, const std::string& answer) {
    return Box("question", "OKCancel", Text("files_moving"),
               Text("operation_alert", {mover().SourceValue(), targetFolder}), answer);
  }

  // Runs `action` at the first event pump after the n-th picture of the next
  // move has been handled (its progress sent), or `later` pumps after that
  // one. Counted from the walk, so the pumps of the checks do not matter.
  void AfterPicture(int n, std::function<void()> action, int later = 0) {
    WaitForProgress(program.movie.CallCount("setProgress") + 1 + n, later, std::move(action));
  }
  // Runs `action` at the n-th event pump from now.
  void AtPump(int n, std::function<void()> action) { QueueAtPump(program.window, n, std::move(action)); }

  // The values sent to the movie's progress bar, in order.
  std::vector<std::string> ProgressValues() const { return testing::ProgressValues(program.movie.Calls()); }

  // The movie calls that set one control, in order, as the program wrote them.
  std::vector<std::string> SetValueCalls(const std::string& control) const {
    std::vector<std::string> calls;
    for (const std::string& call : program.movie.Calls()) {
      const std::optional<MovieCall> decoded = DecodeMovieCall(call);
      if (decoded && decoded->function == "setValue" && !decoded->arguments.empty() &&
          decoded->arguments[0].text == control)
        calls.push_back(call);
    }
    return calls;
  }


 protected:
  // `files`: where card and pictures lie, both made already.
  MoverHarnessBase(FileSystem& files, std::string cardFolder, std::string picturesFolder)
      : overlay(files), card(std::move(cardFolder)), pictures(std::move(picturesFolder)) {
    program.files = &overlay;
    GlobalModule& m = program.Module();
    m.objSWFProvider().Control(program.movie);
    m.objLanguageProvider().LoadLanguage(Variant(2));
    Options(/*autoRename=*/false, /*subfolder=*/false);
    mover().Target(pictures);
    mover().Source(card);
    program.log.Clear();
  }

 private:
  void WaitForProgress(int calls, int later, std::function<void()> action) {
    program.window.QueueEvent([this, calls, later, action = std::move(action)]() mutable {
      if (program.movie.CallCount("setProgress") < calls) {
        WaitForProgress(calls, later, std::move(action));
      } else if (later == 0) {
        action();
      } else {
        AtPump(later, std::move(action));
      }
    });
  }
  static void QueueAtPump(ScriptedWindowSystem& window, int n, std::function<void()> action) {
    if (n <= 1) {
      window.QueueEvent(std::move(action));
      return;
    }
    window.QueueEvent([&window, n, action = std::move(action)]() mutable { QueueAtPump(window, n - 1, std::move(action)); });
  }
};

// The folders are held only while the harness lives; the base refers to them.
// The program's language files are there too, where the program looks.
struct MemoryDisk {
  MemoryFileSystem memory;
  MemoryDisk() {
    for (const char* language : {"English.ini", "Russian.ini"}) {
      const std::string path = std::string(QUILLFEN_PROGRAM_DIR) + "/" + language;
      memory.Put(path, ReadFileAt(path));
    }
  }
};

class MoverHarness : public MemoryDisk, public MoverHarnessBase {
 public:
  MemoryFolder dir{memory};

  MoverHarness() : MoverHarnessBase(memory, Made(memory, "/test/card"), Made(memory, "/test/pictures")) {}

  // The names in a folder, sorted; empty when it does not exist.
  std::vector<std::string> Names(const std::string& folder) const { return dir.Names(folder); }

 private:
  static std::string Made(MemoryFileSystem& files, const std::string& folder) {
    files.PutFolder(folder);
    return folder;
  }
};

struct RealDisk {
  TempDir dir;
  PosixFileSystem disk;
};

class DiskMoverHarness : public RealDisk, public MoverHarnessBase {
 public:
  DiskMoverHarness() : MoverHarnessBase(disk, Made(dir.Path("card")), Made(dir.Path("pictures"))) {}

  // The names in a folder, sorted; empty when it does not exist.
  static std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  static std::string Made(const std::string& folder) {
    std::filesystem::create_directories(folder);
    return folder;
  }
};

}  // namespace quillfen::testing
