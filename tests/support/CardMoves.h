#pragma once
// A card moved by the real headless host as the desktop starts it: Automoving
// on, the card's folder as the argument, the boxes answered in turn.
#include <string>
#include <vector>

#include "support/HostProcess.h"

namespace quillfen::testing {

// `settings`: the [Settings] lines besides Automoving=True; `answers`: the
// answers of the boxes in turn (the confirmation first).
inline HostRun MoveCard(const HostSandbox& sandbox, const std::string& card, const std::string& settings,
                        const std::vector<std::string>& answers = {"OK", "OK"}) {
  sandbox.Settings("Automoving=True\n" + settings);
  std::string transcript = "call <invoke name=\"LoadSettings\" returntype=\"xml\"><arguments/></invoke>\n";
  for (const std::string& answer : answers) transcript += "answer " + answer + "\n";
  transcript += "wait 100\n";
  return sandbox.Run(transcript, {card});
}

// The files below a folder, as paths relative to it, sorted.
std::vector<std::string> FilesBelow(const std::string& folder);

}  // namespace quillfen::testing
