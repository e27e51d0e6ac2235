// The control commands a test sends to a running faultfs (one line each);
// the list is in the opening comment of main.cpp.
#pragma once

#include <string>

#include "Volume.h"

namespace faultfs {

// Carries out one command line; the answer starts with "ok" or "error".
std::string RunCommand(Volume& volume, const std::string& line);

}  // namespace faultfs
