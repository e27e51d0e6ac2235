#pragma once
// The offer on Xfce: thunar-volman's photo import (it asks whether to import
// when a volume with a DCIM folder is mounted) set to start the program with
// the card's mount point. thunar-volman looks at a card only once it has
// mounted it itself, which it does only with "mount removable drives when
// hot-plugged" on (off by default); the user is asked before that is
// switched on too. Every value as it was before is kept, with its type, in a
// file of the program's and given back when the offer is withdrawn. Only
// where Xfce's settings daemon answers on the session bus.
#include <string>

#include "platform/DesktopIntegration.h"

namespace quillfen {

class XfconfChannel;

class ThunarVolmanOffer : public DesktopIntegration {
 public:
  // keptPath: where the previous settings are kept while the offer stands
  // ($XDG_CONFIG_HOME/Quillfen/thunar-volman.ini).
  explicit ThunarVolmanOffer(std::string keptPath);

  DesktopNotices Synchronize(const AutoPlayRegistration& registration) override;
  void MountCards() override;

 private:
  bool Offer(const XfconfChannel& channel, const std::string& command) const;
  void Withdraw(const XfconfChannel& channel, const std::string& command) const;

  std::string keptPath_;
};

// The import command that starts the program with the mount point (%m),
// quoted as thunar-volman parses a command line.
std::string ThunarVolmanCommand(const std::string& programPath);

}  // namespace quillfen
