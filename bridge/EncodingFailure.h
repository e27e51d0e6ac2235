#pragma once
// What the bridge does when the encoder cannot write a call into the movie:
// the program cannot go on talking to its interface, so it says why in a
// fatal box and ends.
#include <utility>

#include "bridge/clsXMLProvider.h"
#include "platform/WindowSystem.h"

namespace quillfen {

// Shows the failure's fixed text in a box titled with the program's name (a
// call never started with the critical icon, a value of an unknown kind with
// none), then ends the program with kCodecFailureExitCode.
[[noreturn]] void EndAfterEncodingFailure(WindowSystem& window, const XmlEncodingError& error);

// What `encode` returns; when the encoder fails inside it, the failure's box
// and the end of the program.
template <typename Encode>
auto EncodedOrEnd(WindowSystem& window, Encode&& encode) -> decltype(encode()) {
  try {
    return std::forward<Encode>(encode)();
  } catch (const XmlEncodingError& error) {
    EndAfterEncodingFailure(window, error);
  }
}

}  // namespace quillfen
