#include "about/frmAbout.h"

namespace quillfen {
// Placeholder until the About window lands.
AboutTexts LoadAboutTexts(GlobalModule&) { return {}; }
void ShowAboutWindow(GlobalModule&) {}
}  // namespace quillfen
