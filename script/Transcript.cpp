#include "script/Transcript.h"

#include <limits>

namespace quillfen {

namespace {

constexpr const char* kBlanks = " \t";

std::string TrimLeft(const std::string& s) {
  const auto start = s.find_first_not_of(kBlanks);
  return start == std::string::npos ? std::string() : s.substr(start);
}

std::string TrimRight(const std::string& s) {
  const auto end = s.find_last_not_of(kBlanks);
  return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

// Splits off the first word; rest keeps everything after the blanks that follow
// it. s is a copy, so that rest may be the text being split.
std::string FirstWord(std::string s, std::string& rest) {
  const auto end = s.find_first_of(kBlanks);
  if (end == std::string::npos) {
    rest.clear();
    return s;
  }
  rest = TrimLeft(s.substr(end));
  return s.substr(0, end);
}

std::int64_t ParseCount(const std::string& word, std::int64_t max, int lineNumber, const std::string& what) {
  if (word.empty() || word.find_first_not_of("0123456789") != std::string::npos)
    throw TranscriptError(lineNumber, what + " must be a whole number, not \"" + word + "\"");
  std::int64_t value = 0;
  for (char c : word) {
    const int digit = c - '0';
    if (value > (max - digit) / 10) throw TranscriptError(lineNumber, what + " is too large: " + word);
    value = value * 10 + digit;
  }
  return value;
}

// The "invoke" text of a call; it runs to the end of the line, as it stands.
std::string ParseRequest(const std::string& rest, int lineNumber, const std::string& instruction) {
  if (TrimRight(rest).empty()) throw TranscriptError(lineNumber, "\"" + instruction + "\" needs an invoke request");
  return rest;
}

void ExpectNothingAfter(const std::string& rest, int lineNumber, const std::string& instruction) {
  if (!TrimRight(rest).empty())
    throw TranscriptError(lineNumber, "\"" + instruction + "\" takes nothing after it, found \"" + TrimRight(rest) + "\"");
}

Instruction ParseMenu(const std::string& rest, Instruction instruction, int languages) {
  std::string tail;
  const std::string item = FirstWord(TrimRight(rest), tail);
  if (item == "language") {
    std::string extra;
    const std::string index = FirstWord(tail, extra);
    ExpectNothingAfter(extra, instruction.line, "menu language " + index);
    instruction.kind = Instruction::Kind::MenuLanguage;
    instruction.number = ParseCount(index, std::numeric_limits<int>::max(), instruction.line, "the language item");
    if (instruction.number < 1 || instruction.number > languages)
      throw TranscriptError(instruction.line,
                            "the language menu has the items 1 to " + std::to_string(languages) + ", not " + index);
    return instruction;
  }
  ExpectNothingAfter(tail, instruction.line, "menu " + item);
  if (item == "testing") instruction.kind = Instruction::Kind::MenuTesting;
  else if (item == "test") instruction.kind = Instruction::Kind::MenuTest;
  else if (item == "about") instruction.kind = Instruction::Kind::MenuAbout;
  else throw TranscriptError(instruction.line,
                             "unknown menu item \"" + item + "\" (language <n>, testing, test, about)");
  return instruction;
}

}  // namespace

Instruction ParseInstruction(const std::string& line, int lineNumber, int languages) {
  Instruction instruction;
  instruction.line = lineNumber;
  std::string rest;
  const std::string word = FirstWord(TrimLeft(line), rest);
  if (word == "call") {
    instruction.kind = Instruction::Kind::Call;
    instruction.request = ParseRequest(rest, lineNumber, word);
  } else if (word == "answer") {
    const std::string answer = TrimRight(rest);
    instruction.kind = Instruction::Kind::Answer;
    if (answer == "OK") instruction.answer = BoxAnswer::OK;
    else if (answer == "Cancel") instruction.answer = BoxAnswer::Cancel;
    else if (answer == "Retry") instruction.answer = BoxAnswer::Retry;
    else if (!answer.empty() && answer.size() <= 2 && answer.find_first_not_of("0123456789") == std::string::npos &&
             std::stoi(answer) >= 1)
      instruction.number = std::stoi(answer);
    else
      throw TranscriptError(lineNumber,
                            "an answer is OK, Cancel, Retry or the number of a button, not \"" + answer + "\"");
  } else if (word == "folder") {
    instruction.kind = Instruction::Kind::Folder;
    instruction.text = TrimRight(rest);
    if (instruction.text.empty()) throw TranscriptError(lineNumber, "\"folder\" needs a path (or use folder-cancel)");
  } else if (word == "folder-cancel") {
    ExpectNothingAfter(rest, lineNumber, word);
    instruction.kind = Instruction::Kind::FolderCancel;
  } else if (word == "after") {
    instruction.kind = Instruction::Kind::After;
    std::string tail;
    instruction.text = FirstWord(rest, tail);
    if (instruction.text.empty())
      throw TranscriptError(lineNumber, "\"after\" needs a movie function, a count and a call");
    const std::string count = FirstWord(tail, tail);
    instruction.number = ParseCount(count, std::numeric_limits<int>::max(), lineNumber, "the call count");
    if (FirstWord(tail, tail) != "call")
      throw TranscriptError(lineNumber, "\"after <function> <n>\" must be followed by \"call <invoke request>\"");
    instruction.request = ParseRequest(tail, lineNumber, "after");
  } else if (word == "menu") {
    instruction = ParseMenu(rest, instruction, languages);
  } else if (word == "wait") {
    instruction.kind = Instruction::Kind::Wait;
    instruction.number = ParseCount(TrimRight(rest), std::numeric_limits<std::int64_t>::max() / 2, lineNumber,
                            "the time to wait");
  } else if (word == "close") {
    ExpectNothingAfter(rest, lineNumber, word);
    instruction.kind = Instruction::Kind::Close;
  } else {
    throw TranscriptError(lineNumber, "unknown instruction \"" + word + "\"");
  }
  return instruction;
}

std::vector<Instruction> ParseTranscript(std::istream& in, int languages) {
  std::vector<Instruction> instructions;
  std::string line;
  int lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();  // a transcript written with CR LF
    const std::string content = TrimLeft(line);
    if (content.empty() || content[0] == '#') continue;
    if (!instructions.empty() && instructions.back().kind == Instruction::Kind::Close)
      throw TranscriptError(lineNumber, "nothing can follow \"close\": the program has ended");
    instructions.push_back(ParseInstruction(content, lineNumber, languages));
  }
  return instructions;
}

}  // namespace quillfen
