// Ejects the card holding a folder through the desktop's volume service, as
// the desktop program does at the end of a move that empties the card, and
// says how it went on one line: "ejected", or "failed <kind>: <reason>" with
// the reason the service gave. For tests/e2e/card_eject_desktop.sh.
#include <cstdio>

#include "gtk/GtkShell.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: card-eject FOLDER\n");
    return 2;
  }
  const quillfen::FsStatus status = quillfen::GtkShell().Eject(argv[1]);
  if (status) {
    std::puts("ejected");
    return 0;
  }
  const char* kind = status.code == quillfen::FsCode::NotFound ? "not-a-card"
                     : status.code == quillfen::FsCode::Other  ? "refused"
                                                               : "failed";
  std::printf("failed %s: %s\n", kind, status.reason.c_str());
  return 1;
}
