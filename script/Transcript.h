#pragma once
// The transcript of the headless host: one instruction a line, read whole
// before anything runs, so that a bad line stops the host before it starts.
#include <cstdint>
#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/WindowSystem.h"

namespace quillfen {

struct Instruction {
  enum class Kind { Call, Answer, Folder, FolderCancel, After, MenuLanguage, MenuTesting, MenuTest, MenuAbout, Wait, Close };
  Kind kind = Kind::Close;
  int line = 0;                // where it stands in the transcript, from 1
  std::string request;         // Call, After: the "invoke" text
  std::string text;            // Folder: the path; After: the movie function
  BoxAnswer answer = BoxAnswer::OK;
  // Wait: milliseconds; After: the call count; MenuLanguage: the item;
  // Answer: the button of a box with the program's own buttons, from 1 (0: `answer`).
  std::int64_t number = 0;
};

// A line that is no instruction; line is its number, from 1.
struct TranscriptError : std::runtime_error {
  TranscriptError(int lineNumber, const std::string& message) : std::runtime_error(message), line(lineNumber) {}
  int line;
};

// Reads one line (without its line end); `languages` is the number of items
// of the Language menu. Throws TranscriptError.
Instruction ParseInstruction(const std::string& line, int lineNumber, int languages);
// Reads every instruction; blank lines and lines starting with "#" are
// skipped. Nothing may follow "close". Throws TranscriptError.
std::vector<Instruction> ParseTranscript(std::istream& in, int languages);

}  // namespace quillfen
