// The control socket: a Unix stream socket outside the mounted tree. Each
// connection carries one command line and gets one answer line back.
#pragma once

#include <string>

#include "Volume.h"

namespace faultfs {

// Binds and listens at `path` (replacing a stale socket); -1 on failure.
int BindControl(const std::string& path, std::string& error);
// Answers commands on the bound socket from a thread of its own.
void ServeControl(Volume& volume, int listening);

// The client side (`faultfs ctl SOCKET COMMAND...`): prints the answer and
// returns 0 when it starts with "ok".
int SendCommand(const std::string& path, const std::string& command);

}  // namespace faultfs
