#pragma once
// GNOME's own switch for media: with "never prompt or start apps on media
// insertion" on (org.gnome.desktop.media-handling autorun-never, the default
// of newer GNOME releases) the desktop offers no program for a card, ours
// included. The setting is the user's: it is read, never written, and the
// user is told where to change it. Read through GSettings only in a GNOME
// session and only where the schema is installed.
#include "platform/DesktopIntegration.h"

namespace quillfen {

class GnomeAutorunCheck : public DesktopIntegration {
 public:
  DesktopNotices Synchronize(const AutoPlayRegistration& registration) override;
};

// The autorun-never setting; false where its schema is not installed.
bool GnomeAutorunNever();

}  // namespace quillfen
