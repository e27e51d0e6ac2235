#pragma once
// The offer on Xfce: thunar-volman's photo import (it asks whether to import
// when a volume with a DCIM folder is mounted) set to start the program with
// the card's mount point. Its previous settings are kept in a file of the
// program's and given back when the offer is withdrawn. Only where
// xfconf-query is installed; elsewhere there is nothing to do.
#include <string>

#include "platform/DesktopIntegration.h"

namespace quillfen {

class XfconfChannel;

class ThunarVolmanOffer : public DesktopIntegration {
 public:
  // keptPath: where the photo import's previous settings are kept while the
  // offer stands ($XDG_CONFIG_HOME/Quillfen/thunar-volman.ini).
  explicit ThunarVolmanOffer(std::string keptPath);

  DesktopNotices Synchronize(const AutoPlayRegistration& registration) override;

 private:
  void Offer(const XfconfChannel& channel, const std::string& command) const;
  void Withdraw(const XfconfChannel& channel, const std::string& command) const;

  std::string keptPath_;
};

// The import command that starts the program with the mount point (%m),
// quoted as thunar-volman parses a command line.
std::string ThunarVolmanCommand(const std::string& programPath);

}  // namespace quillfen
