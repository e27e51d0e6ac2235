// The desktop program's shell on its own, for the tests of the desktop's
// services: `card-eject FOLDER` ejects the card holding the folder, as the
// desktop program does at the end of a move that empties the card, and says
// how it went on one line: "ejected", or "failed <kind>: <reason>" with the
// reason the service gave (tests/e2e/card_eject_desktop.sh). `card-eject
// --notify TITLE BODY` shows the notification a long move ends with
// (tests/e2e/desktop_notification.sh).
#include <cstdio>
#include <cstring>

#include "gtk/GtkShell.h"

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--notify") == 0) {
    quillfen::GtkShell("org.example.Quillfen").Notify(argv[2], argv[3]);
    return 0;
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: card-eject FOLDER | card-eject --notify TITLE BODY\n");
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
