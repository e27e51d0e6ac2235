#pragma once
// Runs the main window's start-up and then a transcript's instructions on the
// scripted window system and movie, as the desktop's main loop would: after
// each instruction every pending event is handled before the next one.
#include <vector>

#include "script/EventLog.h"
#include "script/ScriptedMovieHost.h"
#include "script/ScriptedWindowSystem.h"
#include "script/Transcript.h"

namespace quillfen {

class frmQuillfen;

class TranscriptRunner {
 public:
  TranscriptRunner(ScriptedWindowSystem& window, ScriptedMovieHost& movie, EventLog& log);

  // Loads the form, then runs the instructions. Returns the program's exit
  // code: 0, or the code the program ended itself with (logged as "exit").
  int Run(frmQuillfen& form, const std::vector<Instruction>& instructions);

 private:
  void Execute(const Instruction& instruction);
  // The main loop's turn: handles events until none is pending.
  void Settle();

  ScriptedWindowSystem& window_;
  ScriptedMovieHost& movie_;
  EventLog& log_;
};

}  // namespace quillfen
