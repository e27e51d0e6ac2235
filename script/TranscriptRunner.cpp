#include "script/TranscriptRunner.h"

#include "app/MainMenu.h"
#include "app/frmQuillfen.h"

namespace quillfen {

TranscriptRunner::TranscriptRunner(ScriptedWindowSystem& window, ScriptedMovieHost& movie, EventLog& log)
    : window_(window), movie_(movie), log_(log) {}

int TranscriptRunner::Run(frmQuillfen& form, const std::vector<Instruction>& instructions) {
  // Whatever happens, the log's reader gets every line when the run ends.
  struct FlushAtEnd {
    EventLog& log;
    ~FlushAtEnd() { log.Flush(); }
  } flushAtEnd{log_};
  try {
    form.Form_Load();
    Settle();
    for (const Instruction& instruction : instructions) {
      Execute(instruction);
      if (instruction.kind == Instruction::Kind::Close) return 0;
      Settle();
    }
  } catch (const ProgramEnded& ended) {
    log_.Add("exit");
    return ended.exitCode;
  }
  return 0;
}

void TranscriptRunner::Execute(const Instruction& instruction) {
  using Kind = Instruction::Kind;
  switch (instruction.kind) {
    case Kind::Call: movie_.Request(instruction.request); break;
    case Kind::Answer:
      if (instruction.number > 0)
        window_.QueueButton(static_cast<std::size_t>(instruction.number - 1));
      else
        window_.QueueAnswer(instruction.answer);
      break;
    case Kind::Folder: window_.QueueFolder(instruction.text); break;
    case Kind::FolderCancel: window_.QueueFolder(std::nullopt); break;
    case Kind::After:
      movie_.After(instruction.text, static_cast<int>(instruction.number), instruction.request);
      break;
    case Kind::MenuLanguage:
      if (window_.events()) window_.events()->OnMenu(menu::Lang(static_cast<int>(instruction.number)));
      break;
    case Kind::MenuTesting:
      if (window_.events()) window_.events()->OnMenu(menu::Testing);
      break;
    case Kind::MenuTest:
      if (window_.events()) window_.events()->OnMenu(menu::Test);
      break;
    case Kind::MenuAbout:
      if (window_.events()) window_.events()->OnMenu(menu::About);
      break;
    case Kind::Wait:
      log_.Flush();
      window_.Wait(instruction.number);
      break;
    case Kind::Close: window_.Close(); break;
  }
}

void TranscriptRunner::Settle() {
  while (window_.HasPendingEvents()) window_.PumpEvents();
}

}  // namespace quillfen
